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

constexpr std::string_view kIndexAnchor = "index";
constexpr std::string_view kAnchorStart = "<a name=\"";

} // namespace

Answer Win32MessageBoxes::Show(const std::string& text, const std::string& title, int style)
{
    const int pressed = MessageBoxA(GetActiveWindow(), ToAnsi(text).c_str(), ToAnsi(title).c_str(),
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

std::string BrowserHelp::TopicFor(const std::string& document, const std::string& key)
{
    if (key.empty())
        return std::string(kIndexAnchor);
    for (std::size_t at = document.find(kAnchorStart); at != std::string::npos;
         at = document.find(kAnchorStart, at + 1)) {
        const std::size_t begin = at + kAnchorStart.size();
        const std::size_t end = document.find('"', begin);
        if (end == std::string::npos)
            break;
        const std::string keyword = document.substr(begin, end - begin);
        if (keyword.size() >= key.size() && EqualNoCase(keyword.substr(0, key.size()), key))
            return keyword;
    }
    return std::string(kIndexAnchor);
}

void BrowserHelp::ShowPartialKey(const std::string& helpFile, const std::string& key)
{
    const std::filesystem::path document =
        std::filesystem::path(helpFile).replace_extension(".html");
    const std::string text = Win32Files().Read(document).value_or("");
    // file:///C:/folder/Registration.html#TOPIC
    std::string url = "file:///" + document.generic_string() + "#" + TopicFor(text, key);
    ShellExecuteA(GetActiveWindow(), "open", ToAnsi(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace regwiz::platform::win32
