#pragma once

#include "platform/help.h"
#include "platform/message_box.h"
#include "platform/mouse_pointer.h"
#include "platform/screen.h"

namespace regwiz::platform::win32 {

// The window class of the wizard's top-level window (src/ui/win32).
inline constexpr wchar_t kFormWindowClass[] = L"RegWizardForm";

// MessageBoxA owned by the active window, else by this thread's shown and
// enabled wizard window, so the wizard takes no input while a box is up; the
// style number is passed as it is. The box's own modal loop keeps the window
// events running.
class Win32MessageBoxes final : public MessageBoxes {
public:
    Answer Show(const std::string& text, const std::string& title, int style) override;
};

// The pointer of the pointer numbers (0 default, 11 hourglass, ...) as the
// system's standard cursors.
class Win32MousePointer final : public MousePointer {
public:
    void SetScreenPointer(int shape) override;
    int ScreenPointer() const override { return shape_; }

private:
    int shape_ = pointer::Default;
};

// The primary screen (GetSystemMetrics).
class Win32Screen final : public Screen {
public:
    int Width() const override;
    int Height() const override;
};

// Help as an HTML document shown by the user's browser: for help file
// "...\Registration.hlp" the document "...\Registration.html", opened at the
// anchor HelpTopicFor names. Opening returns at once; the browser is the user's, so
// closing leaves it alone.
class BrowserHelp final : public Help {
public:
    void ShowPartialKey(const std::string& helpFile, const std::string& key) override;
    void Quit(const std::string&) override {}
};

} // namespace regwiz::platform::win32
