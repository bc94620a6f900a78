#pragma once

namespace regwiz::platform {

// The screen's size, in the units the form's position and size use (pixels).
class Screen {
public:
    virtual ~Screen() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

} // namespace regwiz::platform
