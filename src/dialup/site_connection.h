#pragma once

#include "platform/ras_access.h"

// The connection to the registration server through the wizard's entry.
namespace regwiz::dialup {

// The registration login the network accepts on the toll-free number.
inline constexpr const char* kRegistrationUser = "autoreg";
inline constexpr const char* kRegistrationPassword = "Kb93M24Wd58";

// The dial parameters of the wizard's entry with the registration login.
void SetRegistrationDialParams(platform::RasDialParams& params);

// The connection state; disconnected when it cannot be read.
long ConnState(platform::RasAccess& ras);

// True only while the registration connection is up.
bool CheckConnection(platform::RasAccess* ras);

// Hangs the registration connection (or the attempt under way) up.
void HangUp(platform::RasAccess* ras);

} // namespace regwiz::dialup
