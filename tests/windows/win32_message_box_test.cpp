#include "platform/win32/win32_desktop.h"

#include <gtest/gtest.h>

#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::platform::win32 {
namespace {

// What the box showed, and the button the hook presses on it.
struct Answering {
    int button = IDOK;
    std::string caption;
    std::string text;
    HHOOK hook = nullptr;
};
Answering answering;

LRESULT CALLBACK PressButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(box, className, sizeof className);
        if (std::string(className) == "#32770") {
            char text[256] = {};
            GetWindowTextA(box, text, sizeof text);
            answering.caption = text;
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            answering.text = text;
            PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answering.button), 0);
        }
    }
    return CallNextHookEx(answering.hook, code, wParam, lParam);
}

Answer ShowAnswered(const std::string& text, const std::string& title, int style, int button)
{
    answering = Answering{button, {}, {}, nullptr};
    answering.hook = SetWindowsHookExA(WH_CBT, PressButton, nullptr, GetCurrentThreadId());
    const Answer answer = Win32MessageBoxes().Show(text, title, style);
    UnhookWindowsHookEx(answering.hook);
    return answer;
}

TEST(Win32MessageBoxesTest, ShowsTheTextInWindows1252AndReturnsTheButton)
{
    EXPECT_EQ(ShowAnswered("Zoë, 5 €?", "Café", mb::YesNo | mb::Question, IDNO), Answer::No);
    EXPECT_EQ(answering.caption, "Caf\xE9");
    EXPECT_EQ(answering.text, "Zo\xEB, 5 \x80?");
    EXPECT_EQ(ShowAnswered("Retry?", "RegWizard", mb::RetryCancel, IDRETRY), Answer::Retry);
    EXPECT_EQ(ShowAnswered("Done", "RegWizard", mb::OkOnly, IDOK), Answer::Ok);
}

} // namespace
} // namespace regwiz::platform::win32
