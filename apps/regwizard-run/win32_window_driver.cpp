#include "regwizard-run/win32_window_driver.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <utility>

namespace regwiz::runner::win32 {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kBoxClass[] = L"#32770";
constexpr int kBoxTextId = 0xFFFF; // the static control holding a message box's text
constexpr auto kLookInterval = std::chrono::milliseconds(10);

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

bool HasClass(HWND window, const wchar_t* name)
{
    wchar_t found[64] = {};
    GetClassNameW(window, found, static_cast<int>(std::size(found)));
    return lstrcmpiW(found, name) == 0;
}

DWORD ProcessOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

bool InCallingThread(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

struct Search {
    const std::function<bool(HWND)>& keep;
    bool firstOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<Search*>(data);
    if (!search.keep(window))
        return TRUE;
    search.found.push_back(window);
    return search.firstOnly ? FALSE : TRUE;
}

// The windows for which `keep` holds, in the system's order: top-level ones
// (Z order) when `parent` is null, else all below `parent`.
std::vector<HWND> FindWindows(HWND parent, const std::function<bool(HWND)>& keep,
                              bool firstOnly = false)
{
    Search search{keep, firstOnly, {}};
    if (parent == nullptr)
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    else
        EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LONG_PTR Style(HWND window)
{
    return GetWindowLongPtrW(window, GWL_STYLE);
}

thread_local BoxAnswerer* threadAnswerer = nullptr;

// The pixels of a 32-bit top-down DIB as rows of 24-bit BGR, the layout
// every PNG encoder takes.
std::vector<BYTE> Bgr24(const std::uint32_t* pixels, UINT width, UINT height)
{
    std::vector<BYTE> rows(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        rows[i * 3] = static_cast<BYTE>(pixels[i]);
        rows[i * 3 + 1] = static_cast<BYTE>(pixels[i] >> 8);
        rows[i * 3 + 2] = static_cast<BYTE>(pixels[i] >> 16);
    }
    return rows;
}

bool Fail(std::string* why, const std::string& reason)
{
    if (why != nullptr)
        *why = reason;
    return false;
}

bool WritePng(const std::filesystem::path& file, UINT width, UINT height, std::vector<BYTE>& bgr,
              std::string* why)
{
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct Uninitialize {
        bool needed;
        ~Uninitialize()
        {
            if (needed)
                CoUninitialize();
        }
    } uninitialize{SUCCEEDED(initialized)};

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const char* failed = nullptr; // the step that failed
    HRESULT error = S_OK;
    const auto step = [&](const char* what, HRESULT result) {
        if (FAILED(result)) {
            failed = what;
            error = result;
        }
        return SUCCEEDED(result);
    };
    const bool written =
        step("the imaging factory",
             CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.GetAddressOf())))
        && step("the file stream", factory->CreateStream(stream.GetAddressOf()))
        && step("opening the file",
                stream->InitializeFromFilename(file.wstring().c_str(), GENERIC_WRITE))
        // Made by its class, not looked up by the factory: that look-up reads
        // HKEY_CLASSES_ROOT, which a scenario's run redirects to a key of its own.
        && step("the PNG encoder",
                CoCreateInstance(CLSID_WICPngEncoder, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICBitmapEncoder,
                                 reinterpret_cast<void**>(encoder.GetAddressOf())))
        && step("starting the encoder", encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache))
        && step("the frame", encoder->CreateNewFrame(frame.GetAddressOf(), options.GetAddressOf()))
        && step("starting the frame", frame->Initialize(options.Get()))
        && step("the frame's size", frame->SetSize(width, height))
        && step("the pixel format", frame->SetPixelFormat(&format))
        // The encoder may only offer another layout than the one we have.
        && step("the pixel format",
                IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ? S_OK : E_FAIL)
        && step("the pixels",
                frame->WritePixels(height, width * 3, static_cast<UINT>(bgr.size()), bgr.data()))
        && step("finishing the frame", frame->Commit())
        && step("finishing the file", encoder->Commit());
    if (!written) {
        encoder.Reset();
        stream.Reset();
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(error));
        return Fail(why, std::string("cannot write the PNG file ") + file.string() + ": " + failed
                             + " failed (HRESULT " + code + ")");
    }
    return true;
}

} // namespace

HWND FindTopWindow(const wchar_t* windowClass, DWORD processId)
{
    const auto found = FindWindows(
        nullptr,
        [&](HWND window) {
            return HasClass(window, windowClass)
                   && (processId == 0 || ProcessOf(window) == processId);
        },
        true);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> FindMessageBoxes(DWORD processId)
{
    return FindWindows(nullptr, [&](HWND window) {
        return HasClass(window, kBoxClass) && ProcessOf(window) == processId
               && IsWindowVisible(window);
    });
}

std::string WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(std::min<std::size_t>(copied, text.size() - 1));
    return Utf8(text);
}

BoxText ReadMessageBox(HWND box)
{
    return {WindowText(box), WindowText(GetDlgItem(box, kBoxTextId))};
}

int DefaultButton(HWND box)
{
    // The shown button marked as the default one. Wine's DM_GETDEFID keeps
    // naming IDOK whatever the box's buttons, so the mark comes first.
    for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Button", nullptr)) != nullptr;)
        if ((Style(child) & WS_VISIBLE) != 0 && (Style(child) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)
        || HIWORD(answer) != DC_HASDEFID)
        return 0;
    const HWND named = GetDlgItem(box, LOWORD(answer));
    return named != nullptr && (Style(named) & WS_VISIBLE) != 0 ? LOWORD(answer) : 0;
}

bool PressBoxButton(HWND box, int id)
{
    // A box may keep the buttons of other styles hidden (wine does).
    const HWND button = id != 0 ? GetDlgItem(box, id) : nullptr;
    if (button == nullptr || (Style(button) & WS_VISIBLE) == 0)
        return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button))
           != 0;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the loop that owns it
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               Waiting how)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (how == Waiting::PumpMessages)
            PumpMessages();
        if (condition())
            return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        const auto slice = std::min(left, kLookInterval);
        if (how == Waiting::PumpMessages)
            MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(slice.count()), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
        else
            std::this_thread::sleep_for(slice);
    }
}

bool SavePicture(HWND window, const std::filesystem::path& file, std::string* why)
{
    if (!IsWindow(window) || !IsWindowVisible(window) || IsIconic(window))
        return Fail(why, "the window is not shown");
    RECT client = {};
    GetClientRect(window, &client);
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return Fail(why, "the window has no client area");
    // Painted before the copy: what is pending shows.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(window);
    if (screen == nullptr)
        return Fail(why, "the window has no device context");
    void* bits = nullptr;
    const HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(screen);
    bool copied = false;
    if (dib != nullptr && memory != nullptr) {
        const HGDIOBJ before = SelectObject(memory, dib);
        copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, before);
    }
    if (memory != nullptr)
        DeleteDC(memory);
    ReleaseDC(window, screen);

    std::vector<BYTE> bgr;
    if (copied) {
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        const std::size_t count =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        if (std::all_of(pixels, pixels + count,
                        [](std::uint32_t pixel) { return (pixel & 0xFFFFFF) == 0; }))
            copied = false; // nothing drawn: a display that keeps no pixels
        else
            bgr = Bgr24(pixels, static_cast<UINT>(width), static_cast<UINT>(height));
    }
    if (dib != nullptr)
        DeleteObject(dib);
    if (!copied)
        return Fail(why, "the display keeps no pixels (a null graphics driver?): the copy of the "
                         "window is black");
    return WritePng(file, static_cast<UINT>(width), static_cast<UINT>(height), bgr, why);
}

BoxAnswerer::BoxAnswerer(Chooser choose) : choose_(std::move(choose))
{
    threadAnswerer = this;
    hook_ = SetWindowsHookExW(WH_CBT, &BoxAnswerer::Hook, nullptr, GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer()
{
    if (timer_ != 0)
        KillTimer(nullptr, timer_);
    if (hook_ != nullptr)
        UnhookWindowsHookEx(hook_);
    if (threadAnswerer == this)
        threadAnswerer = nullptr;
}

LRESULT CALLBACK BoxAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    BoxAnswerer* self = threadAnswerer;
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (self != nullptr && code == HCBT_ACTIVATE && HasClass(window, kBoxClass))
        self->Activated(window);
    else if (self != nullptr && code == HCBT_DESTROYWND)
        self->answered_.erase(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void BoxAnswerer::Activated(HWND box)
{
    if (!answered_.insert(box).second)
        return;
    if (PressBoxButton(box, choose_ ? choose_(box) : 0))
        return;
    // A box marks its default button only once it is up, after its
    // activation: a timer of the box's own modal loop presses it then.
    waiting_.push_back(box);
    if (timer_ == 0)
        timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &BoxAnswerer::PressDefaults);
}

// The default button of each box waiting for one, else OK or Cancel,
// whichever the box has.
void CALLBACK BoxAnswerer::PressDefaults(HWND, UINT, UINT_PTR, DWORD)
{
    BoxAnswerer* self = threadAnswerer;
    if (self == nullptr)
        return;
    KillTimer(nullptr, std::exchange(self->timer_, 0));
    for (const HWND box : std::exchange(self->waiting_, {}))
        for (const int id : {DefaultButton(box), IDOK, IDCANCEL})
            if (IsWindow(box) && PressBoxButton(box, id))
                break;
}

ControlClass ClassOf(HWND control)
{
    static const std::pair<const wchar_t*, ControlClass> kClasses[] = {
        {L"Button", ControlClass::Button},
        {L"Edit", ControlClass::Edit},
        {L"ComboBox", ControlClass::ComboBox},
        {L"ListBox", ControlClass::ListBox}};
    for (const auto& [name, kind] : kClasses)
        if (HasClass(control, name))
            return kind;
    return ControlClass::Other;
}

WindowDriver::WindowDriver(HWND form, Delivery delivery) : form_(form), delivery_(delivery) {}

DWORD WindowDriver::ProcessId() const
{
    return ProcessOf(form_);
}

HWND WindowDriver::Control(int id) const
{
    const auto found = FindWindows(
        form_, [id](HWND window) { return GetDlgCtrlID(window) == id; }, true);
    return found.empty() ? nullptr : found.front();
}

LRESULT WindowDriver::Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (delivery_ == Delivery::Send)
        return SendMessageW(window, message, wParam, lParam);
    PostMessageW(window, message, wParam, lParam);
    return 0;
}

void WindowDriver::Click(HWND control) const
{
    Deliver(control, BM_CLICK, 0, 0);
}

void WindowDriver::Type(HWND control, const std::string& text) const
{
    // The focus belongs to the control's thread: another thread shares its
    // input state for the moment it moves it.
    const DWORD thread = GetWindowThreadProcessId(control, nullptr);
    const bool attach = thread != GetCurrentThreadId()
                        && AttachThreadInput(GetCurrentThreadId(), thread, TRUE) != 0;
    SetFocus(control);
    if (attach)
        AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    // Sent whatever the delivery: the text travels as a pointer, which only a
    // sent message carries over to another process.
    const std::wstring wide = Wide(text);
    SendMessageW(control, EM_SETSEL, 0, -1);
    SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void WindowDriver::Select(HWND control, int index) const
{
    const bool combo = ClassOf(control) == ControlClass::ComboBox;
    SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // Setting the entry raises no notification of its own: the member's
    // choice does, so it is sent as the control would.
    const WPARAM notification =
        MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    Deliver(GetParent(control), WM_COMMAND, notification, reinterpret_cast<LPARAM>(control));
}

bool WindowDriver::Visible(HWND control)
{
    return (Style(control) & WS_VISIBLE) != 0;
}

bool WindowDriver::Enabled(HWND control)
{
    return (Style(control) & WS_DISABLED) == 0;
}

bool WindowDriver::Shown() const
{
    return IsWindow(form_) && IsWindowVisible(form_);
}

bool WindowDriver::Checked(HWND control)
{
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int WindowDriver::Selected(HWND control)
{
    const bool combo = ClassOf(control) == ControlClass::ComboBox;
    return static_cast<int>(SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

bool WindowDriver::WaitUntil(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout) const
{
    return win32::WaitUntil(condition, timeout,
                            InCallingThread(form_) ? Waiting::PumpMessages : Waiting::Poll);
}

} // namespace regwiz::runner::win32
