#pragma once

#include "wizard/reg_wizard.h"

// The exchange with the registration server: the access-number list, the
// account request and its reply, finishing and cancelling.
namespace regwiz::exchange {

// Entering page 10: fetches the access-number list and offers it.
void AccessNumberEntry(wizard::frmRegWizard& wizard);

// Entering page 11: sends the account request and shows the result.
void FinishingSequence(wizard::frmRegWizard& wizard);

// Cancel (or Done): ends the wizard.
void cmdCancel_Click(wizard::frmRegWizard& wizard);

} // namespace regwiz::exchange
