#pragma once

#include "platform/screen.h"

namespace regwiz::ui::qt {

// The primary screen's size; 1024 x 768 while there is none.
class QtScreen final : public platform::Screen {
public:
    int Width() const override;
    int Height() const override;
};

// A host that is no Qt program gets an application object made on its
// thread, so the window has one to run in.
void EnsureApplication();

} // namespace regwiz::ui::qt
