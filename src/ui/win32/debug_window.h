#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <memory>
#include <string>

namespace regwiz::ui::win32 {

// A window for watching what the wizard does while it is being worked on
// (frmDebug): lines in a list box, and a button that clears them. Nothing in
// the wizard opens it.
class Win32DebugWindow {
public:
    Win32DebugWindow();
    ~Win32DebugWindow();
    Win32DebugWindow(const Win32DebugWindow&) = delete;
    Win32DebugWindow& operator=(const Win32DebugWindow&) = delete;

    void AddLine(const std::string& line);

    HWND Window() const { return window_; }
    HWND List() const { return list_; }
    HWND ClearButton() const { return clear_; }

private:
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND clear_ = nullptr;
    std::unique_ptr<class DialogKeys> keys_;
};

} // namespace regwiz::ui::win32
