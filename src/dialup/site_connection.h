#pragma once

#include <string>

#include "wizard/reg_wizard.h"

// The wizard's dial-up work: its dial-up entry, the modem list and the
// connection to the registration server.
namespace regwiz::dialup {

// The registration login the network accepts on the toll-free number.
inline constexpr const char* kRegistrationUser = "autoreg";
inline constexpr const char* kRegistrationPassword = "Kb93M24Wd58";

// Entering page 9: writes the dial-up entry and dials the registration server;
// once connected, presses Next itself.
void SiteConnectionSequence(wizard::frmRegWizard& wizard);

// 0 when connected to the registration server, else the connection state.
long ConnectToSite(wizard::frmRegWizard& wizard);

void objRasAcc_ConnectionStatus(wizard::frmRegWizard& wizard, const std::string& sCallStatus,
                                long RasConnState, long dwerror);

// True only while the registration connection is up.
bool CheckConnection(const wizard::frmRegWizard& wizard);

// Hangs the registration connection (or the attempt under way) up.
void HangUp(wizard::frmRegWizard& wizard);

} // namespace regwiz::dialup
