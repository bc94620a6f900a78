#pragma once

#include <string>

#include "wizard/reg_wizard.h"

// The wizard's dial-up work: its dial-up entry, the modem list and the
// connection to the registration server.
namespace regwiz::dialup {

// Entering page 9: writes the dial-up entry and dials the registration server;
// once connected, presses Next itself.
void SiteConnectionSequence(wizard::frmRegWizard& wizard);

// 0 when the dial-up entry was written, else the error number.
long CreateDUN(wizard::frmRegWizard& wizard);

// 0 when connected to the registration server, else the connection state.
long ConnectToSite(wizard::frmRegWizard& wizard);

void objRasAcc_ConnectionStatus(wizard::frmRegWizard& wizard, const std::string& sCallStatus,
                                long RasConnState, long dwerror);

void objRASAcc_DeviceInfo(wizard::frmRegWizard& wizard, const std::string& DeviceType,
                          const std::string& DeviceName);

} // namespace regwiz::dialup
