#include "ui/win32/dialog_keys.h"

#include "ui/win32/form_access.h"

#include <algorithm>
#include <vector>

namespace regwiz::ui::win32 {
namespace {

// The hook is the thread's: windows of this thread share it.
struct Navigated {
    HHOOK hook = nullptr;
    std::vector<HWND> windows;
};
thread_local Navigated navigated;

bool IsNavigated(HWND root)
{
    return std::find(navigated.windows.begin(), navigated.windows.end(), root)
           != navigated.windows.end();
}

LRESULT CALLBACK BeforeDispatch(int code, WPARAM removal, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    // Only messages taken off the queue: a peek that leaves one there would
    // have it handled twice.
    if (code == HC_ACTION && removal == PM_REMOVE && message->hwnd != nullptr
        && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
        const HWND root = GetAncestor(message->hwnd, GA_ROOT);
        if (IsNavigated(root) && message->message == WM_KEYDOWN && message->wParam == VK_F1) {
            // F1 asks the window for help, as a dialog box's owner is asked.
            HELPINFO help{};
            help.cbSize = sizeof help;
            help.iContextType = HELPINFO_WINDOW;
            help.iCtrlId = GetDlgCtrlID(message->hwnd);
            help.hItemHandle = message->hwnd;
            GetCursorPos(&help.MousePos);
            SendMessageW(root, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            message->message = WM_NULL;
        } else if (IsNavigated(root) && message->message == WM_SYSCHAR
                   && SendMessageW(root, kHiddenAccessKey, message->wParam, 0) == TRUE) {
            message->message = WM_NULL;
        } else if (IsNavigated(root) && IsDialogMessageW(root, message)) {
            message->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

} // namespace

DialogKeys::DialogKeys(HWND window) : window_(window)
{
    navigated.windows.push_back(window_);
    if (navigated.hook == nullptr)
        navigated.hook =
            SetWindowsHookExW(WH_GETMESSAGE, BeforeDispatch, nullptr, GetCurrentThreadId());
}

DialogKeys::~DialogKeys()
{
    auto& windows = navigated.windows;
    windows.erase(std::remove(windows.begin(), windows.end(), window_), windows.end());
    if (windows.empty() && navigated.hook != nullptr) {
        UnhookWindowsHookEx(navigated.hook);
        navigated.hook = nullptr;
    }
}

} // namespace regwiz::ui::win32
