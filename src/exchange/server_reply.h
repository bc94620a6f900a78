#pragma once

#include <string>

#include "wizard/reg_wizard.h"

namespace regwiz::exchange {

// Reads the registration server's reply: the member ID on success (gMemberID),
// else the text to show. Empty when the reply carried no error text.
std::string ParseWebData(wizard::frmRegWizard& wizard, std::string Data);

// Shows the outcome on the Finish page, leaves the one button for the last
// step ("Done" or "Cancel") and hangs the registration connection up.
void ResultMessage(wizard::frmRegWizard& wizard, std::string& ErrString);

} // namespace regwiz::exchange
