#include "platform/win32/win32_desktop.h"

#include <array>
#include <filesystem>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>

#include "platform/codepage.h"
#include "platform/win32/win32_files.h"

namespace regwiz::platform::win32 {
namespace {

// The standard cursor of each pointer number, 0 to 15.
constexpr std::array<WORD, 16> kCursors = {
    32512, // 0 default: IDC_ARROW
    32512, // 1 arrow
    32515, // 2 cross: IDC_CROSS
    32513, // 3 I-beam: IDC_IBEAM
    32512, // 4 icon: no longer a cursor of its own
    32646, // 5 size: IDC_SIZEALL
    32643, // 6 size NE-SW: IDC_SIZENESW
    32645, // 7 size N-S: IDC_SIZENS
    32642, // 8 size NW-SE: IDC_SIZENWSE
    32644, // 9 size W-E: IDC_SIZEWE
    32516, // 10 up arrow: IDC_UPARROW
    32514, // 11 hourglass: IDC_WAIT
    32648, // 12 no drop: IDC_NO
    32650, // 13 arrow and hourglass: IDC_APPSTARTING
    32651, // 14 arrow and question mark: IDC_HELP
    32646, // 15 size all: IDC_SIZEALL
};

BOOL CALLBACK FindWizardWindow(HWND window, LPARAM found)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (lstrcmpW(className, kFormWindowClass) != 0 || !IsWindowVisible(window)
        || !IsWindowEnabled(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A box without an owner would leave the wizard usable behind it.
HWND BoxOwner()
{
    if (HWND active = GetActiveWindow())
        return active;
    HWND wizard = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindWizardWindow, reinterpret_cast<LPARAM>(&wizard));
    return wizard;
}

} // namespace

Answer Win32MessageBoxes::Show(const std::string& text, const std::string& title, int style)
{
    const int pressed = MessageBoxA(BoxOwner(), ToAnsi(text).c_str(), ToAnsi(title).c_str(),
                                    static_cast<UINT>(style));
    if (pressed >= static_cast<int>(Answer::Ok) && pressed <= static_cast<int>(Answer::No))
        return static_cast<Answer>(pressed);
    return DefaultAnswer(style); // no box could be shown
}

void Win32MousePointer::SetScreenPointer(int shape)
{
    shape_ = shape;
    const WORD cursor = shape >= 0 && static_cast<std::size_t>(shape) < kCursors.size()
                            ? kCursors[static_cast<std::size_t>(shape)]
                            : kCursors[0];
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(cursor)));
}

int Win32Screen::Width() const
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int Win32Screen::Height() const
{
    return GetSystemMetrics(SM_CYSCREEN);
}

void BrowserHelp::ShowPartialKey(const std::string& helpFile, const std::string& key)
{
    const std::filesystem::path document =
        std::filesystem::path(helpFile).replace_extension(".html");
    const std::string text = Win32Files().Read(document).value_or("");
    // file:///C:/folder/Registration.html#TOPIC
    std::string url = "file:///" + document.generic_string() + "#" + HelpTopicFor(text, key);
    ShellExecuteA(GetActiveWindow(), "open", ToAnsi(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace regwiz::platform::win32
