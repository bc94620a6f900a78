#pragma once

#include <string>

#include "platform/clock.h"

namespace regwiz::platform {

// The member's regional settings, as the wizard shows times and reads numbers.
class RegionalSettings {
public:
    virtual ~RegionalSettings() = default;
    // The long time form: "10:15:02 AM" in the United States. UTF-8.
    virtual std::string LongTime(const LocalTime& t) const = 0;
    // The long date form: "Saturday, December 05, 2026" in the United States.
    virtual std::string LongDate(const LocalTime& t) const = 0;
    // The decimal point and the digit-grouping mark of numbers; either is
    // empty when the settings name none.
    virtual std::string DecimalSeparator() const = 0;
    virtual std::string ThousandsSeparator() const = 0;
};

} // namespace regwiz::platform
