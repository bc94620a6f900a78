#include "exchange/finishing.h"

namespace regwiz::exchange {

void AccessNumberEntry(wizard::frmRegWizard&) {}

void FinishingSequence(wizard::frmRegWizard&) {}

void cmdCancel_Click(wizard::frmRegWizard& wizard)
{
    if (wizard::HostObject* host = wizard.Host())
        host->CancelRegistration();
}

} // namespace regwiz::exchange
