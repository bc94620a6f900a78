#pragma once

#include <string>

#include "platform/clock.h"

namespace regwiz::diagnostics {

// The long time and long date forms of the regional settings (LC_TIME of the
// environment). For the C locale and United States English they read
// "10:15:02 AM" and "Saturday, December 05, 2026". Texts are UTF-8.
std::string LongTime(const platform::LocalTime& t);
std::string LongDate(const platform::LocalTime& t);

// The same for a named locale ("C", "de_DE.UTF-8"); the C locale when the
// name is unknown.
std::string LongTime(const platform::LocalTime& t, const char* locale);
std::string LongDate(const platform::LocalTime& t, const char* locale);

} // namespace regwiz::diagnostics
