// Plays the member's actions through the wizard's Win32 window, with window
// messages alone, as a member's mouse and keyboard would reach it.
#include <deque>
#include <iostream>
#include <stdexcept>

#include "platform/win32/win32_desktop.h"
#include "regwizard-run/driver.h"
#include "regwizard-run/win32_window_driver.h"
#include "ui/win32/win32_view.h"

namespace regwiz::runner {
namespace {

using win32::ControlClass;
using win32::WindowDriver;

// The real MessageBoxA, each box recorded as the wizard asks for it.
class RecordedBoxes final : public platform::MessageBoxes {
public:
    platform::Answer Show(const std::string& text, const std::string& title, int style) override
    {
        shown_.push_back({text, title, style});
        return real_.Show(text, title, style);
    }
    const std::vector<ShownBox>& History() const { return shown_; }

private:
    platform::win32::Win32MessageBoxes real_;
    std::vector<ShownBox> shown_;
};

// The form's window, and the driver told when the form lets it go.
class TrackedView final : public wizard::FormView {
public:
    TrackedView(wizard::RegWizardDesign& design, TrackedView*& slot)
        : form(design), view(design), slot_(slot)
    {
        slot_ = this;
    }
    ~TrackedView() override
    {
        if (slot_ == this)
            slot_ = nullptr;
    }
    TrackedView(const TrackedView&) = delete;
    TrackedView& operator=(const TrackedView&) = delete;

    wizard::RegWizardDesign& form;
    ui::win32::Win32FormView view;

private:
    TrackedView*& slot_;
};

class Win32Driver final : public Driver {
public:
    Win32Driver() : answerer_([this](HWND) { return NextAnswer(); }) {}

    platform::MessageBoxes& Boxes() override { return boxes_; }
    void QueueAnswer(platform::Answer answer) override { answers_.push_back(answer); }
    std::vector<ShownBox> Shown() const override { return boxes_.History(); }

    wizard::FormViewFactory ViewFactory() override
    {
        return [this](wizard::RegWizardDesign& form) {
            return std::unique_ptr<wizard::FormView>(std::make_unique<TrackedView>(form, view_));
        };
    }

    void Click(wizard::Control& control) override
    {
        const HWND window = Window(control);
        if (win32::ClassOf(window) == ControlClass::Button)
            Driver().Click(window);
        else
            Select(control, control.ListIndex());
    }

    void Type(wizard::Control& control, const std::string& text) override
    {
        const HWND window = Window(control);
        if (win32::ClassOf(window) != ControlClass::Edit)
            return control.Type(text);
        Driver().Type(window, text);
    }

    void Select(wizard::Control& control, int index) override
    {
        const HWND window = Window(control);
        const ControlClass kind = win32::ClassOf(window);
        if (kind == ControlClass::ComboBox || kind == ControlClass::ListBox)
            Driver().Select(window, index);
        ChoseInWindow(control, index);
    }

    bool Visible(wizard::Control& control) override
    {
        return WindowDriver::Visible(Window(control));
    }
    bool Enabled(wizard::Control& control) override
    {
        return WindowDriver::Enabled(Window(control));
    }
    bool WindowShown(wizard::FormModel&) override { return view_ != nullptr && Driver().Shown(); }

    void Settle() override { win32::PumpMessages(); }

    bool Shot(const std::filesystem::path& file) override
    {
        Settle();
        if (view_ == nullptr)
            return false;
        std::string why;
        if (win32::SavePicture(view_->view.Window(), file, &why))
            return true;
        std::cerr << "regwizard-run: no picture of the window: " << why << "\n";
        return false;
    }

private:
    WindowDriver Driver() const
    {
        if (view_ == nullptr)
            throw std::runtime_error("the wizard has no window");
        return WindowDriver(view_->view.Window(), WindowDriver::Delivery::Send);
    }

    // The control's window, found as another program finds it: by its dialog ID.
    HWND Window(const wizard::Control& control) const
    {
        const WindowDriver driver = Driver();
        const int id = ui::win32::ControlId(view_->form, control.Name());
        const HWND window = id != 0 ? driver.Control(id) : nullptr;
        if (window == nullptr)
            throw std::runtime_error("no window shows " + control.Name());
        return window;
    }

    // The button for the box now up: the oldest queued answer (used up even
    // when the box lacks that button), else 0, the box's default one.
    int NextAnswer()
    {
        if (answers_.empty())
            return 0;
        const int button = static_cast<int>(answers_.front()); // the IDOK ... IDNO numbers
        answers_.pop_front();
        return button;
    }

    RecordedBoxes boxes_;
    std::deque<platform::Answer> answers_;
    win32::BoxAnswerer answerer_;
    TrackedView* view_ = nullptr;
};

} // namespace

std::unique_ptr<Driver> MakeWidgetDriver()
{
    return std::make_unique<Win32Driver>();
}

} // namespace regwiz::runner
