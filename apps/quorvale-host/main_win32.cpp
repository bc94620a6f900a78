// quorvale-host.exe: a small host like the service's client, on Windows. It
// shows its splash screen (a plain popup window drawn with GDI) while the
// wizard starts, and runs the thread's message loop, which the wizard's window
// needs; the rest of what it does is host_session.h's, over the system's COM:
// CLSIDFromProgID and CoCreateInstance, with RegWizard.dll beside this
// program registered first (its DllRegisterServer, as regsvr32 does it) when
// the class is not registered.
#include "host_com.h"

#include <deque>
#include <iostream>
#include <string>
#include <utility>

#include "RegWizard_i.c"
#include "host_session.h"
#include "platform/win32/win32_registry.h"

namespace {

using regwiz::client::HresultText;

std::wstring Wide(const std::string& utf8)
{
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          length);
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          length, nullptr, nullptr);
    return utf8;
}

// The system's text for an error code, without its line end.
std::string SystemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 ? std::wstring(text, length) : L"";
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return "error " + std::to_string(error) + (message.empty() ? "" : " (" + Utf8(message) + ")");
}

// The caption of the host's own message boxes.
constexpr wchar_t kHostTitle[] = L"quorvale Online";

// ---- The splash screen -----------------------------------------------------------------------

constexpr wchar_t kSplashClass[] = L"QuorvaleSplash";
constexpr int kSplashWidth = 420;
constexpr int kSplashHeight = 240;

// One line of the picture, centred `offset` pixels below the middle.
void DrawLine(HDC dc, RECT area, int offset, int points, int weight, const wchar_t* text)
{
    const int height = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = ::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ previous = ::SelectObject(dc, font);
    ::OffsetRect(&area, 0, offset);
    ::DrawTextW(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::DeleteObject(font);
}

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT area;
    ::GetClientRect(window, &area);
    HBRUSH background = ::CreateSolidBrush(RGB(0, 0, 160));
    ::FillRect(dc, &area, background);
    ::DeleteObject(background);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    DrawLine(dc, area, -30, 22, FW_BOLD, L"quorvale Online");
    DrawLine(dc, area, 50, 10, FW_NORMAL, L"Starting the registration wizard...");
    ::EndPaint(window, &paint);
    return 0;
}

HWND ShowSplash(HINSTANCE instance)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SplashProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)); // IDC_WAIT
    windowClass.lpszClassName = kSplashClass;
    ::RegisterClassW(&windowClass);
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kSplashWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kSplashHeight) / 2;
    HWND splash = ::CreateWindowExW(
        WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSplashClass, L"quorvale Online", WS_POPUP | WS_BORDER,
        left, top, kSplashWidth, kSplashHeight, nullptr, nullptr, instance, nullptr);
    if (splash != nullptr) {
        ::ShowWindow(splash, SW_SHOWNORMAL);
        ::UpdateWindow(splash);
    }
    return splash;
}

// ---- The window system ----------------------------------------------------------------------

// Steps queued with Later run from the host's own message loop, once the
// message being dispatched has returned: the wizard's handlers pump messages
// themselves (DoEvents) and must never see their object released under them.
// A posted message wakes the loop; thread messages would be lost while a
// modal loop runs, so it goes to a message-only window.
constexpr UINT kRunLater = WM_APP + 1;
constexpr wchar_t kHostClass[] = L"QuorvaleHost";

class Win32Windows final : public regwiz::client::HostWindows {
public:
    explicit Win32Windows(HINSTANCE instance) : splash_(ShowSplash(instance))
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kHostClass;
        ::RegisterClassW(&windowClass);
        host_ = ::CreateWindowExW(0, kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr);
    }
    ~Win32Windows() override
    {
        CloseSplash();
        if (host_ != nullptr)
            ::DestroyWindow(host_);
    }
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;

    void CloseSplash() override
    {
        if (splash_ != nullptr)
            ::DestroyWindow(splash_);
        splash_ = nullptr;
    }
    void Later(std::function<void()> step) override
    {
        later_.push_back(std::move(step));
        ::PostMessageW(host_, kRunLater, 0, 0);
    }
    void ShowMemberId(const std::string& memberId) override
    {
        const std::wstring text = L"Welcome to quorvale Online!\n\nYour member ID is "
                                  + Wide(memberId) + L".\nUse it with your password to sign on.";
        ::MessageBoxW(nullptr, text.c_str(), kHostTitle, MB_OK | MB_ICONINFORMATION);
    }
    void ShowFailure(const std::string& text) override
    {
        CloseSplash();
        const std::wstring message = L"The registration wizard cannot start:\n\n" + Wide(text);
        ::MessageBoxW(nullptr, message.c_str(), kHostTitle, MB_OK | MB_ICONERROR);
    }
    void Quit() override { ::PostQuitMessage(0); }

    // The message loop: each step queued with Later runs after the message
    // that queued it has been handled.
    void Run()
    {
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            while (!later_.empty()) {
                std::function<void()> step = std::move(later_.front());
                later_.pop_front();
                step();
            }
        }
    }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        // kRunLater only wakes the loop.
        return message == kRunLater ? 0 : ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND splash_ = nullptr;
    HWND host_ = nullptr;
    std::deque<std::function<void()>> later_;
};

// ---- COM's activation -----------------------------------------------------------------------

// RegWizard.dll in this program's own folder.
std::wstring LibraryBesideProgram()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"RegWizard.dll";
}

class SystemActivation final : public regwiz::client::Activation {
public:
    HRESULT Create(void** engine) override
    {
        CLSID clsid{};
        const std::wstring progId = Wide(regwizard::com::kRegEngineProgId);
        HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
        if (FAILED(hr))
            return hr;
        return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__RegEngine, engine);
    }

    std::string RegisterLibrary() override
    {
        HMODULE library = ::LoadLibraryW(library_.c_str());
        if (library == nullptr)
            return "cannot load it: " + SystemMessage(::GetLastError());
        using Entry = HRESULT(STDAPICALLTYPE*)();
        auto registerServer = reinterpret_cast<Entry>(
            reinterpret_cast<void*>(::GetProcAddress(library, "DllRegisterServer")));
        std::string error;
        if (registerServer == nullptr) {
            error = "it has no entry point DllRegisterServer";
        } else {
            const HRESULT hr = registerServer();
            if (FAILED(hr))
                error = "DllRegisterServer: " + HresultText(hr);
        }
        ::FreeLibrary(library);
        return error;
    }

    std::string LibraryName() const override { return Utf8(library_); }

private:
    std::wstring library_ = LibraryBesideProgram();
};

} // namespace

int main()
{
    HRESULT hr = ::CoInitialize(nullptr);
    if (FAILED(hr)) {
        std::cerr << "quorvale-host: cannot start COM: " << HresultText(hr) << std::endl;
        return 1;
    }
    int status = 1;
    {
        Win32Windows windows(::GetModuleHandleW(nullptr));
        regwiz::platform::win32::Win32Registry registry;
        regwiz::client::HostSession session(windows, registry);
        SystemActivation activation;
        if (session.Start(activation)) {
            windows.Run();
            status = 0;
        }
    }
    ::CoUninitialize();
    return status;
}
