#pragma once

#include "wizard/reg_wizard.h"

namespace regwiz::exchange {

// Cancel, "Do Not Agree" or "Done": ends the wizard, stops a call, or stores
// the new member's credentials, as the situation asks.
void cmdCancel_Click(wizard::frmRegWizard& wizard);

} // namespace regwiz::exchange
