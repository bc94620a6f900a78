#include "ui/win32/win32_controls.h"

#include <commctrl.h>

#include <cmath>
#include <filesystem>

namespace regwiz::ui::win32 {
namespace {

constexpr int kDots = 12;
constexpr UINT kFrameMs = 80;
constexpr UINT_PTR kTurnTimer = 1;

// The frame's colour is kept in its window data, plus one: zero stands for
// the system's face colour.
COLORREF FrameColour(HWND frame)
{
    const LONG_PTR stored = GetWindowLongPtrW(frame, GWLP_USERDATA);
    return stored == 0 ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(stored - 1);
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
        if (HWND parent = GetParent(frame))
            return SendMessageW(parent, message, wParam, lParam);
        break;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(frame, &client);
        Fill(reinterpret_cast<HDC>(wParam), client, FrameColour(frame));
        return 1;
    }
    default:
        break;
    }
    return DefWindowProcW(frame, message, wParam, lParam);
}

COLORREF Blend(COLORREF from, COLORREF to, int part, int parts)
{
    auto mix = [&](int a, int b) { return a + (b - a) * part / parts; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

struct Gradient {
    COLORREF top;
    COLORREF bottom;
};

Gradient GradientOf(PictureLook look)
{
    switch (look) {
    case PictureLook::Error:
        return {RGB(110, 0, 0), RGB(215, 70, 50)};
    case PictureLook::Connection:
        return {RGB(200, 220, 245), RGB(90, 140, 210)};
    case PictureLook::Page:
        break;
    }
    return {RGB(0, 30, 90), RGB(40, 140, 230)};
}

void PaintPicture(HWND picture, HDC dc)
{
    RECT client;
    GetClientRect(picture, &client);
    const auto look = static_cast<PictureLook>(GetWindowLongW(picture, GWL_STYLE) & 0xFF);
    const Gradient gradient = GradientOf(look);
    const int height = std::max<int>(1, client.bottom);
    for (int y = 0; y < height; y += 2) {
        const RECT band = {0, y, client.right, y + 2};
        Fill(dc, band, Blend(gradient.top, gradient.bottom, y, height));
    }
    const std::wstring title = WindowText(picture);
    if (title.empty())
        return;
    RECT text = {8, client.bottom * 2 / 3, client.right - 8, client.bottom - 8};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, title.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
}

LRESULT CALLBACK PictureProc(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(picture, &paint);
        PaintPicture(picture, dc);
        EndPaint(picture, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1; // the picture covers itself
    return DefWindowProcW(picture, message, wParam, lParam);
}

// What an animation window is doing.
struct Animation {
    HWND clip = nullptr; // the SysAnimate32 child playing a file
    bool drawn = false;  // the ring of dots turning
    int step = 0;
};

Animation* AnimationOf(HWND window)
{
    return reinterpret_cast<Animation*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The colour behind the animation is the panel's: its parent says which
// (WM_CTLCOLORSTATIC), as for a label.
COLORREF BackgroundOf(HWND window, HDC dc)
{
    const HWND parent = GetParent(window);
    auto* brush = reinterpret_cast<HBRUSH>(SendMessageW(
        parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    LOGBRUSH logical{};
    if (brush != nullptr && GetObjectW(brush, sizeof logical, &logical) == sizeof logical)
        return logical.lbColor;
    return GetSysColor(COLOR_BTNFACE);
}

void PaintRing(HWND window, HDC dc, const Animation& state)
{
    RECT client;
    GetClientRect(window, &client);
    const COLORREF background = BackgroundOf(window, dc);
    Fill(dc, client, background);
    if (!state.drawn)
        return;
    const double side = std::min(client.right, client.bottom);
    const double dot = side / 8;
    const double radius = side / 2 - dot;
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (int i = 0; i < kDots; ++i) {
        // The dot at the head of the turn is brightest, the ones behind fade.
        const int age = (state.step - i + kDots) % kDots;
        HBRUSH brush = CreateSolidBrush(Blend(RGB(255, 255, 255), background, age, kDots));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        const double angle = 2 * 3.14159265358979 * i / kDots;
        const int x = static_cast<int>(client.right / 2.0 + radius * std::sin(angle));
        const int y = static_cast<int>(client.bottom / 2.0 - radius * std::cos(angle));
        const int r = static_cast<int>(dot / 2 + 1);
        Ellipse(dc, x - r, y - r, x + r, y + r);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
    SelectObject(dc, oldPen);
}

LRESULT CALLBACK AnimationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Animation));
        break;
    case WM_NCDESTROY:
        delete AnimationOf(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    case WM_TIMER:
        if (Animation* state = AnimationOf(window); state && wParam == kTurnTimer) {
            state->step = (state->step + 1) % kDots;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (const Animation* state = AnimationOf(window))
            PaintRing(window, dc, *state);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND OpenClip(HWND window, const std::string& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(file), error))
        return nullptr;
    RECT client;
    GetClientRect(window, &client);
    HWND clip = CreateWindowExW(
        0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY,
        0, 0, client.right, client.bottom, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    const std::wstring path = Wide(file);
    if (clip != nullptr
        && SendMessageW(clip, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str())) != 0)
        return clip;
    if (clip != nullptr)
        DestroyWindow(clip);
    return nullptr;
}

} // namespace

std::wstring Wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring WithCrLf(std::string_view utf8)
{
    const std::wstring wide = Wide(utf8);
    std::wstring text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\r' || wide[i] == L'\n') {
            text += L"\r\n";
            if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n')
                ++i;
        } else {
            text += wide[i];
        }
    }
    return text;
}

COLORREF ToColorRef(unsigned rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
                           | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

void RegisterWindowClass(HINSTANCE module, const wchar_t* name, WNDPROC procedure, int background)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground =
        background ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1)) : nullptr;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

void RegisterWindowClasses(HINSTANCE instance)
{
    static const bool registered = [instance] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&controls);
        RegisterWindowClass(instance, kFrameClass, FrameProc);
        RegisterWindowClass(instance, kPictureClass, PictureProc);
        RegisterWindowClass(instance, kAnimationClass, AnimationProc);
        return true;
    }();
    (void)registered;
}

void SetFrameColour(HWND frame, COLORREF colour)
{
    SetWindowLongPtrW(frame, GWLP_USERDATA, static_cast<LONG_PTR>(colour) + 1);
    InvalidateRect(frame, nullptr, TRUE);
}

void RunAnimation(HWND window, const std::string& file)
{
    Animation* state = AnimationOf(window);
    if (state == nullptr)
        return;
    if (state->clip != nullptr)
        DestroyWindow(state->clip);
    KillTimer(window, kTurnTimer);
    *state = Animation{};
    if (!file.empty()) {
        state->clip = OpenClip(window, file);
        state->drawn = state->clip == nullptr;
        if (state->drawn)
            SetTimer(window, kTurnTimer, kFrameMs, nullptr);
    }
    InvalidateRect(window, nullptr, TRUE);
}

bool AnimationRunning(HWND window)
{
    const Animation* state = AnimationOf(window);
    return state != nullptr && (state->clip != nullptr || state->drawn);
}

bool AnimationDrawn(HWND window)
{
    const Animation* state = AnimationOf(window);
    return state != nullptr && state->drawn;
}

} // namespace regwiz::ui::win32
