#pragma once

namespace regwiz::platform {

// A local calendar time, as the wizard reads the computer's clock.
struct LocalTime {
    int year = 1970;
    int month = 1; // 1 to 12
    int day = 1;   // 1 to 31
    int hour = 0;  // 0 to 23
    int minute = 0;
    int second = 0;
    int weekday = 4; // 0 = Sunday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

} // namespace regwiz::platform
