#include "ui/win32/form_access.h"

#include "ui/layout/control_roles.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace regwiz::ui::win32 {
namespace {

using wizard::Control;
using wizard::ControlKind;

Control* IfPressable(Control* button)
{
    return button != nullptr && button->UsableOnForm() ? button : nullptr;
}

bool IsPushButton(HWND window)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"Button") == 0
           && (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
}

template <typename Function> Function SystemFunction(const char* name)
{
    const HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)))
                : nullptr;
}

} // namespace

Control* ButtonForKey(wizard::RegWizardDesign& form, UINT message, WPARAM wParam, HWND focus,
                      const std::function<Control*(HWND)>& controlOf)
{
    if (message == WM_HELP)
        return IfPressable(&form.cmdHelp);
    if (message == kHiddenAccessKey) {
        const auto letter = static_cast<char>(std::towupper(static_cast<wint_t>(wParam)));
        for (const auto& control : form.Controls()) {
            if (control->Kind() == ControlKind::CommandButton && control->UsableOnForm()
                && HiddenAccessKey(control->Caption()) == letter)
                return control.get();
        }
        return nullptr;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return nullptr;
    switch (LOWORD(wParam)) {
    case IDOK:
        if (focus != nullptr && IsPushButton(focus)) {
            Control* focused = controlOf(focus);
            if (focused != nullptr && focused->Kind() == ControlKind::CommandButton)
                return IfPressable(focused);
        }
        return IfPressable(form.DefaultButton());
    case IDCANCEL:
        return IfPressable(&form.cmdCancel);
    default:
        return nullptr;
    }
}

void ShowDefaultButton(const wizard::RegWizardDesign& form,
                       const std::function<HWND(const Control&)>& windowOf)
{
    for (const auto& control : form.Controls()) {
        if (control->Kind() != ControlKind::CommandButton)
            continue;
        const HWND button = windowOf(*control);
        if (button == nullptr)
            continue;
        const bool chosen = control.get() == form.DefaultButton();
        SendMessageW(button, BM_SETSTYLE, chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void NameFieldsSharingACaption(const wizard::RegWizardDesign& form,
                               const std::function<HWND(const Control&)>& windowOf)
{
    std::map<const Control*, int> fieldsSoFar;
    for (const auto& control : form.Controls()) {
        const Control* label = control->Label();
        const HWND field = windowOf(*control);
        if (label == nullptr || field == nullptr || ++fieldsSoFar[label] < 2)
            continue;
        const std::string name = control->AccessibleName();
        const int length = MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, wide.data(), length);
        const HWND parent = GetParent(field);
        const auto id = static_cast<INT_PTR>(GetDlgCtrlID(field) + kCaptionNameIdOffset);
        CreateWindowExW(0, L"STATIC", wide.c_str(), WS_CHILD | SS_LEFT, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(id), nullptr, nullptr);
        KeepCaptionNamesBeforeFields(parent);
    }
}

void KeepCaptionNamesBeforeFields(HWND panel)
{
    std::vector<HWND> names;
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) > kCaptionNameIdOffset)
            names.push_back(child);
    for (const HWND name : names) {
        const HWND field = GetDlgItem(panel, GetDlgCtrlID(name) - kCaptionNameIdOffset);
        if (field == nullptr)
            continue;
        const HWND before = GetWindow(field, GW_HWNDPREV);
        if (before == name)
            continue;
        SetWindowPos(name, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

MissingMarks::~MissingMarks()
{
    for (const auto& [window, plain] : plain_)
        if (IsWindow(window))
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(plain), FALSE);
    for (const auto& bold : bold_)
        DeleteObject(bold.second);
}

void MissingMarks::Show(const Control& label, HWND window)
{
    if (label.Kind() != ControlKind::Label)
        return;
    const auto marked = plain_.find(window);
    if (!label.Missing()) {
        if (marked != plain_.end()) {
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(marked->second), TRUE);
            plain_.erase(marked);
        }
        return;
    }
    if (marked != plain_.end())
        return;
    const auto plain = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    HFONT& bold = bold_[plain];
    if (bold == nullptr) {
        LOGFONTW font{};
        GetObjectW(plain ? static_cast<HGDIOBJ>(plain) : GetStockObject(DEFAULT_GUI_FONT),
                   sizeof font, &font);
        font.lfWeight = FW_BOLD;
        bold = CreateFontIndirectW(&font);
    }
    plain_[window] = plain;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
}

void BecomeDpiAware()
{
    using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const auto set = SystemFunction<SetContext>("SetThreadDpiAwarenessContext")) {
        if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != nullptr
            || set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) != nullptr)
            return;
    }
    using SetAware = BOOL(WINAPI*)();
    if (const auto aware = SystemFunction<SetAware>("SetProcessDPIAware"))
        aware();
}

UINT DpiOf(HWND window)
{
    using GetDpi = UINT(WINAPI*)(HWND);
    const auto get = SystemFunction<GetDpi>("GetDpiForWindow");
    if (window != nullptr && get != nullptr) {
        if (const UINT dpi = get(window); dpi > 0)
            return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int ToPixels(int units, UINT dpi)
{
    return MulDiv(units, static_cast<int>(dpi), 96);
}

int ToUnits(int pixels, UINT dpi)
{
    const int d = static_cast<int>(std::max<UINT>(dpi, 1));
    return pixels >= 0 ? (pixels * 96 + d - 1) / d : -((-pixels * 96) / d);
}

RECT ToPixels(const RECT& units, UINT dpi)
{
    return {ToPixels(units.left, dpi), ToPixels(units.top, dpi), ToPixels(units.right, dpi),
            ToPixels(units.bottom, dpi)};
}

} // namespace regwiz::ui::win32
