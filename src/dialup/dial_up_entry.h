#pragma once

#include <string>

#include "platform/ras_access.h"

namespace regwiz::dialup {

// What the registration entry needs of this machine.
struct RegistrationEntry {
    std::string serverNumber;   // the registration server's toll-free number
    std::string serverAreaCode; // and its area code
    std::string deviceName;     // the chosen modem
    std::string deviceType;
};

// How writing the registration entry went.
struct EntryResult {
    enum class Stage { Written, NameInvalid, SaveFailed };
    Stage stage = Stage::Written;
    long error = 0;     // the dial-up component's error, 0 when written
    long lngResult = 0; // what saving returned
};

// Writes the entry named after the service that dials the registration
// server's toll-free number with the chosen modem.
EntryResult CreateRegistrationEntry(platform::RasAccess& ras, const RegistrationEntry& entry);

// Opens the wizard's entry for a change: 0, or the dial-up component's error
// (an entry that exists already is no error).
long OpenServiceEntry(platform::RasAccess& ras);

// The access number chosen on page 10 and how it is dialled.
struct AccessNumberSettings {
    std::string accessString; // ends in area code, blank, number
    bool tenDigit = false;    // dial the area code with the number
    std::string cityCode;     // the dialling location's city code; empty when unknown
};

// Points the opened entry at the access number and saves it: 0, or the
// dial-up component's error. Settings the component refuses are skipped.
long PointEntryAt(platform::RasAccess& ras, const AccessNumberSettings& settings);

} // namespace regwiz::dialup
