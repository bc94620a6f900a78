#pragma once

namespace regwiz::platform {

namespace pointer {
inline constexpr int Default = 0;
inline constexpr int Hourglass = 11;
} // namespace pointer

// The application-wide (screen) mouse pointer.
class MousePointer {
public:
    virtual ~MousePointer() = default;
    virtual void SetScreenPointer(int shape) = 0;
    virtual int ScreenPointer() const = 0;
};

} // namespace regwiz::platform
