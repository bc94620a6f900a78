#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::ui::win32 {

// Keyboard navigation as in a dialog box (Tab, arrow keys, Alt+mnemonic) for
// `window`, whatever message loop the host runs: while one of these lives, a
// thread hook (WH_GETMESSAGE) hands the window's keyboard messages to
// IsDialogMessage and turns those it handled into WM_NULL. Enter and Escape
// reach the window as WM_COMMAND IDOK and IDCANCEL, F1 as WM_HELP.
class DialogKeys {
public:
    explicit DialogKeys(HWND window);
    ~DialogKeys();
    DialogKeys(const DialogKeys&) = delete;
    DialogKeys& operator=(const DialogKeys&) = delete;

private:
    HWND window_;
};

} // namespace regwiz::ui::win32
