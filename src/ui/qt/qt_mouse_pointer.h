#pragma once

#include "platform/mouse_pointer.h"

namespace regwiz::ui::qt {

// The screen-wide pointer as Qt's application override cursor: the hourglass
// is one override, and every other shape takes it away again.
class QtMousePointer final : public platform::MousePointer {
public:
    QtMousePointer() = default;
    ~QtMousePointer() override;
    QtMousePointer(const QtMousePointer&) = delete;
    QtMousePointer& operator=(const QtMousePointer&) = delete;

    void SetScreenPointer(int shape) override;
    int ScreenPointer() const override { return shape_; }

private:
    int shape_ = platform::pointer::Default;
    bool overriding_ = false;
};

} // namespace regwiz::ui::qt
