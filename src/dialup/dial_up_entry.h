#pragma once

#include <string>

#include "wizard/reg_wizard.h"

namespace regwiz::dialup {

// Writes the dial-up entry that dials the registration server's toll-free
// number with the chosen modem: 0, or the error number reported.
long CreateDUN(wizard::frmRegWizard& wizard);

// Points the dial-up entry at the access number chosen on page 10 (an entry
// of lstAccessNumbers, ending in area code, blank, number).
void ResetDUN(wizard::frmRegWizard& wizard, const std::string& AccessString);

// One dial-up device reported by the dial-up component.
void objRASAcc_DeviceInfo(wizard::frmRegWizard& wizard, const std::string& DeviceType,
                          const std::string& DeviceName);

} // namespace regwiz::dialup
