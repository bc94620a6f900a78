#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.h"

class QMessageBox;

namespace regwiz::ui::qt {

// Message boxes as QMessageBox: the buttons, icon and default button of the
// style number, shown modally while the window's events keep running.
class QtMessageBoxes final : public platform::MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string title;
        int style = 0;
    };

    platform::Answer Show(const std::string& text, const std::string& title, int style) override;

    // Called once each box is up, from inside its modal loop, so a test or a
    // scripted run can press one of its buttons.
    std::function<void(QMessageBox&)> onShown;

    // Every box shown, oldest first.
    const std::vector<Shown>& History() const { return shown_; }

private:
    std::vector<Shown> shown_;
};

} // namespace regwiz::ui::qt
