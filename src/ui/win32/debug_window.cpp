#include "ui/win32/debug_window.h"

#include "ui/win32/dialog_keys.h"
#include "ui/win32/win32_controls.h"

namespace regwiz::ui::win32 {
namespace {

constexpr wchar_t kDebugWindowClass[] = L"RegWizardDebug";
constexpr int kListId = 100;
constexpr int kClearId = 101;
constexpr int kWidth = 420;
constexpr int kHeight = 320;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;

LRESULT CALLBACK DebugProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kClearId && HIWORD(wParam) == BN_CLICKED) {
        SendDlgItemMessageW(window, kListId, LB_RESETCONTENT, 0, 0);
        return 0;
    }
    if (message == WM_CLOSE) {
        ShowWindow(window, SW_HIDE); // its owner lets it go
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, RECT at, HWND parent,
           int id)
{
    HWND child =
        CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, at.left,
                        at.top, at.right - at.left, at.bottom - at.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return child;
}

} // namespace

Win32DebugWindow::Win32DebugWindow()
{
    const HINSTANCE module = ThisModule();
    static const bool registered = [module] {
        RegisterWindowClass(module, kDebugWindowClass, DebugProc, COLOR_BTNFACE);
        return true;
    }();
    (void)registered;
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kDebugWindowClass, L"Debug information",
                              WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight,
                              nullptr, nullptr, module, nullptr);
    RECT client;
    GetClientRect(window_, &client);
    const int buttonTop = client.bottom - kMargin - kButtonHeight;
    list_ =
        Child(L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | WS_GROUP,
              {kMargin, kMargin, client.right - kMargin, buttonTop - kMargin}, window_, kListId);
    clear_ = Child(L"BUTTON", L"Clear List", BS_PUSHBUTTON | WS_GROUP,
                   {client.right - kMargin - kButtonWidth, buttonTop, client.right - kMargin,
                    buttonTop + kButtonHeight},
                   window_, kClearId);
    keys_ = std::make_unique<DialogKeys>(window_);
}

Win32DebugWindow::~Win32DebugWindow()
{
    keys_.reset();
    DestroyWindow(window_);
}

void Win32DebugWindow::AddLine(const std::string& line)
{
    const std::wstring text = Wide(line);
    const auto index = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

} // namespace regwiz::ui::win32
