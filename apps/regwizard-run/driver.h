#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/mouse_pointer.h"
#include "wizard/form_design.h"
#include "wizard/form_view.h"

namespace regwiz::runner {

struct ShownBox {
    std::string text;
    std::string title;
    int style = 0;
};

// How the member's actions reach the wizard and how what it shows is read:
// straight on the form model, or through the real widgets.
class Driver {
public:
    virtual ~Driver() = default;

    // Message boxes answered from a queue, else with their default button.
    virtual platform::MessageBoxes& Boxes() = 0;
    virtual void QueueAnswer(platform::Answer answer) = 0;
    virtual std::vector<ShownBox> Shown() const = 0;

    // The window of each form loaded (none in model mode).
    virtual wizard::FormViewFactory ViewFactory() = 0;

    virtual void Click(wizard::Control& control) = 0;
    virtual void Type(wizard::Control& control, const std::string& text) = 0;
    virtual void Select(wizard::Control& control, int index) = 0;
    virtual bool Visible(wizard::Control& control) = 0;
    virtual bool Enabled(wizard::Control& control) = 0;
    virtual bool WindowShown(wizard::FormModel& form) = 0;
    // Lets the window catch up with what the last action changed.
    virtual void Settle() {}
    // A picture of the window as `file`; false when there is none to take.
    virtual bool Shot(const std::filesystem::path& file) = 0;
};

// After a window chose entry `index` of `control`'s list: a choice no window
// makes (index -1, "none") reaches the list directly, as the member's clearing
// it would.
inline void ChoseInWindow(wizard::Control& control, int index)
{
    if (control.ListIndex() != index)
        control.SetListIndex(index);
}

std::unique_ptr<Driver> MakeModelDriver(const platform::MousePointer& pointer);
// Through the real window: the Qt widgets on the offscreen platform, or on
// Windows the Win32 window; null in a build without one.
std::unique_ptr<Driver> MakeWidgetDriver();

} // namespace regwiz::runner
