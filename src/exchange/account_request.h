#pragma once

#include <cstdint>
#include <string>

#include "wizard/reg_wizard.h"

namespace regwiz::exchange {

// Entering page 11: posts the member's answers to the registration server,
// shows the result, and points the dial-up entry at the chosen access number.
void FinishingSequence(wizard::frmRegWizard& wizard);

// The form body: the 26 keys in their order, each value form-encoded in
// Windows-1252.
std::string RequestBody(wizard::frmRegWizard& wizard);

// The same body fit for the log: the card number cut to its last four digits,
// the password starred.
std::string LoggedBody(wizard::frmRegWizard& wizard);

void Inet1_StateChanged(wizard::frmRegWizard& wizard, std::int16_t State);

// application/x-www-form-urlencoded of a text's Windows-1252 bytes.
std::string FormEncode(const std::string& text);

} // namespace regwiz::exchange
