#include "ui/win32/win32_view.h"

#include <algorithm>
#include <array>
#include <exception>

#include "platform/win32/win32_platform_parts.h"
#include "ui/layout/control_roles.h"
#include "ui/layout/model_watch.h"
#include "ui/win32/dialog_keys.h"
#include "ui/win32/form_access.h"
#include "ui/win32/win32_controls.h"
#include "wizard/pages.h"

namespace regwiz::ui::win32 {

using wizard::Control;
using wizard::ControlKind;
using wizard::FormModel;
using wizard::Property;

// What the window draws with, and the view while it lives. The window may
// outlive the view a little (when the view goes from inside one of its own
// handlers), so the window owns these.
struct WindowState {
    Win32FormView* view = nullptr;
    HFONT font = nullptr;
    std::map<int, HFONT> headings; // by the points added
    std::map<COLORREF, HBRUSH> brushes;

    ~WindowState()
    {
        for (const auto& heading : headings)
            DeleteObject(heading.second);
        for (const auto& brush : brushes)
            DeleteObject(brush.second);
        if (font != nullptr)
            DeleteObject(font);
    }
};

namespace {

constexpr int kWidth = wizard::RegWizardDesign::kDesignWidth;
constexpr int kHeight = wizard::RegWizardDesign::kDesignHeight;
constexpr int kButtonBarHeight = 48;
constexpr int kMargin = 14;
constexpr int kPictureWidth = 150;
constexpr int kPictureGap = 16;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;
constexpr int kLabelColumnMax = 220;
constexpr int kColumnGap = 10;
constexpr int kRowGap = 6;
constexpr int kFieldGap = 8;
constexpr int kHeadingGap = 6;
constexpr int kDropDownHeight = 200;
constexpr int kHourglass = 11;
// Posted to a window whose view went while the window was handling a
// message: it destroys itself when the loop gets back to it.
constexpr UINT kDestroyLater = WM_APP + 1;

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

RECT PageArea()
{
    return {0, 0, kWidth, kHeight - kButtonBarHeight - 2};
}

RECT SeparatorLine(int index) // 0: the upper line, 1: the lower one
{
    const int top = PageArea().bottom + index;
    return {0, top, kWidth, top + 1};
}

RECT ButtonBar()
{
    return {0, kHeight - kButtonBarHeight, kWidth, kHeight};
}

RECT ButtonSlot(std::size_t index) // 0 Back, 1 Next, 2 Cancel, 3 Help
{
    const int help = kWidth - kMargin - kButtonWidth;
    const std::array<int, 4> left = {help - 3 * kButtonWidth - 2 * kButtonGap,
                                     help - 2 * kButtonWidth - 2 * kButtonGap,
                                     help - kButtonWidth - kButtonGap, help};
    const int top = (kButtonBarHeight - kButtonHeight) / 2;
    return {left[index], top, left[index] + kButtonWidth, top + kButtonHeight};
}

// `rect` is in the layout's units (1/96 inch); the window takes its screen's pixels.
void Place(HWND window, const RECT& rect)
{
    const RECT pixels = ToPixels(rect, DpiOf(GetAncestor(window, GA_ROOT)));
    SetWindowPos(window, nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
                 pixels.bottom - pixels.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system's message font, for a screen at `dpi`.
HFONT MessageFont(int addedPoints, UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    const int systemDpi = static_cast<int>(DpiOf(nullptr));
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), systemDpi);
    if (addedPoints > 0) {
        const int points = std::max(1, MulDiv(std::abs(font.lfHeight), 72, static_cast<int>(dpi)));
        font.lfHeight = -MulDiv(points + addedPoints, static_cast<int>(dpi), 72);
        font.lfWeight = FW_BOLD;
    }
    return CreateFontIndirectW(&font);
}

// The size of `text` drawn in `window`'s font, wrapped at `width` (0: one line).
// Both in the layout's units.
SIZE TextSize(HWND window, const std::wstring& text, int width)
{
    const UINT dpi = DpiOf(GetAncestor(window, GA_ROOT));
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width > 0 ? ToPixels(width, dpi) : 10000, 0};
    const std::wstring measured = text.empty() ? L"X" : text;
    DrawTextW(dc, measured.c_str(), -1, &rect,
              DT_CALCRECT | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {text.empty() ? 0 : ToUnits(rect.right, dpi), ToUnits(rect.bottom, dpi)};
}

const wchar_t* ClassOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::Line:
        return L"STATIC";
    case ControlKind::TextBox:
        return L"EDIT";
    case ControlKind::ComboBox:
        return L"COMBOBOX";
    case ControlKind::ListBox:
        return L"LISTBOX";
    case ControlKind::CheckBox:
    case ControlKind::CommandButton:
        return L"BUTTON";
    case ControlKind::Frame:
        return kFrameClass;
    case ControlKind::Image:
        return kPictureClass;
    case ControlKind::Animation:
        return kAnimationClass;
    }
    return L"STATIC";
}

DWORD TextBoxStyle(const Control& control)
{
    DWORD style = control.MultiLine() ? ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL : ES_AUTOHSCROLL;
    if (control.Locked())
        style |= ES_READONLY;
    if (!control.PasswordChar().empty())
        style |= ES_PASSWORD;
    return style;
}

DWORD StyleOf(const Control& control)
{
    constexpr DWORD kField = WS_TABSTOP | WS_GROUP;
    switch (control.Kind()) {
    case ControlKind::Label:
        return SS_LEFT;
    case ControlKind::Line:
        return SS_ETCHEDHORZ;
    case ControlKind::TextBox:
        return kField | TextBoxStyle(control);
    case ControlKind::ComboBox:
        return kField | CBS_DROPDOWNLIST | WS_VSCROLL;
    case ControlKind::ListBox:
        return kField | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    case ControlKind::CheckBox:
        return kField | BS_AUTOCHECKBOX;
    case ControlKind::CommandButton:
        return kField | BS_PUSHBUTTON;
    case ControlKind::Frame:
        return WS_CLIPCHILDREN;
    case ControlKind::Image:
    case ControlKind::Animation:
        break;
    }
    return 0;
}

DWORD ExStyleOf(ControlKind kind)
{
    if (kind == ControlKind::TextBox || kind == ControlKind::ListBox)
        return WS_EX_CLIENTEDGE;
    // Tab and mnemonics reach into the frame's controls.
    return kind == ControlKind::Frame ? WS_EX_CONTROLPARENT : 0;
}

bool OnPanel(const Control& control, const Control& buttonBar)
{
    return control.Container() != nullptr && control.Container() != &buttonBar;
}

} // namespace

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete state;
    } else if (message == kDestroyLater) {
        DestroyWindow(window);
        return 0;
    } else if (state != nullptr && state->view != nullptr) {
        return state->view->Handle(message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {

void RegisterFormClass(HINSTANCE module)
{
    static const bool registered = [module] {
        RegisterWindowClass(module, kFormWindowClass, FormProc, COLOR_BTNFACE);
        RegisterWindowClasses(module);
        return true;
    }();
    (void)registered;
}

// Marks the view as copying the model into its windows for as long as it lives.
class Updating {
public:
    explicit Updating(int& depth) : depth_(depth) { ++depth_; }
    ~Updating() { --depth_; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

private:
    int& depth_;
};

} // namespace

int ControlId(const wizard::FormModel& form, const std::string& name)
{
    const auto& controls = form.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i]->Name() == name)
            return kFirstControlId + static_cast<int>(i);
    }
    return 0;
}

Win32FormView::Win32FormView(wizard::RegWizardDesign& form) : form_(form)
{
    MakeWindow();
    MakeControls();
    for (const auto& control : form_.Controls())
        ShowAll(*control);
    for (int page = 0; page < wizard::kPageCount; ++page)
        LayOutPanel(form_.Page(page));
    LayOutPanel(form_.fraError);
    LayOutPanel(form_.fraTerminalError);
    layoutReady_ = true;
    ObserveModel();
    for (auto property : {FormModel::FormProperty::Caption, FormModel::FormProperty::Position,
                          FormModel::FormProperty::MousePointer, FormModel::FormProperty::Visible})
        ShowForm(property);
    marks_ = std::make_unique<MissingMarks>();
    NameFieldsSharingACaption(form_, [this](const Control& control) { return WindowOf(control); });
    ShowForm(FormModel::FormProperty::DefaultButton);
    keys_ = std::make_unique<DialogKeys>(window_);
}

Win32FormView::~Win32FormView()
{
    *alive_ = false;
    keys_.reset();
    marks_.reset();
    if (window_ == nullptr)
        return;
    state_->view = nullptr;
    ShowWindow(window_, SW_HIDE);
    // Gone from inside one of the window's own messages: the window must
    // outlive that message, so it goes when the loop gets back to it.
    if (handling_ > 0)
        PostMessageW(window_, kDestroyLater, 0, 0);
    else
        DestroyWindow(window_);
}

HWND Win32FormView::WindowFor(const std::string& controlName) const
{
    const auto found = byName_.find(controlName);
    return found == byName_.end() ? nullptr : found->second;
}

HWND Win32FormView::WindowOf(const Control& control) const
{
    return WindowFor(control.Name());
}

Control* Win32FormView::ControlOf(int id) const
{
    const auto& controls = form_.Controls();
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(controls.size()))
        return nullptr;
    return controls[static_cast<std::size_t>(index)].get();
}

HBRUSH Win32FormView::Brush(COLORREF colour)
{
    HBRUSH& brush = state_->brushes[colour];
    if (brush == nullptr)
        brush = CreateSolidBrush(colour);
    return brush;
}

void Win32FormView::MakeWindow()
{
    const HINSTANCE module = ThisModule();
    RegisterFormClass(module);
    BecomeDpiAware();
    RECT frame = ToPixels({0, 0, kWidth, kHeight}, DpiOf(nullptr));
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    window_ = CreateWindowExW(kWindowExStyle, kFormWindowClass, Wide(form_.Caption()).c_str(),
                              kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, module, nullptr);
    state_ = new WindowState;
    state_->font = MessageFont(0, DpiOf(window_));
    state_->view = this;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_));
}

void Win32FormView::MakeControls()
{
    const auto& controls = form_.Controls();
    windows_.resize(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Control& control = *controls[i];
        const HWND parent = control.Container() ? WindowOf(*control.Container()) : window_;
        const HWND window = MakeControl(control, parent, kFirstControlId + static_cast<int>(i));
        windows_[i] = window;
        byName_[control.Name()] = window;
        SetLook(control, window);
    }
    const std::array<Control*, 4> buttons = {&form_.cmdBack, &form_.cmdNext, &form_.cmdCancel,
                                             &form_.cmdHelp};
    for (std::size_t i = 0; i < buttons.size(); ++i)
        Place(WindowOf(*buttons[i]), ButtonSlot(i));
    ArrangeTopLevel();
}

HWND Win32FormView::MakeControl(Control& control, HWND parent, int id)
{
    std::wstring title;
    DWORD style = StyleOf(control);
    if (control.Kind() == ControlKind::Image) {
        const int page = control.Container() ? PageOf(form_, *control.Container()) : -1;
        const auto* described = wizard::DescribeNumber(static_cast<std::int16_t>(page));
        if (described != nullptr && LayoutOfPage(page).picture == control.Name())
            title = Wide(*described->helpKey ? described->helpKey : described->name);
        else if (control.Container() == &form_.fraError
                 || control.Container() == &form_.fraTerminalError)
            style |= static_cast<DWORD>(PictureLook::Error);
        else
            style |= static_cast<DWORD>(PictureLook::Connection);
    }
    return CreateWindowExW(ExStyleOf(control.Kind()), ClassOf(control.Kind()), title.c_str(),
                           WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(),
                           nullptr);
}

void Win32FormView::SetLook(const Control& control, HWND window)
{
    HFONT font = state_->font;
    if (const int emphasis = HeadingEmphasis(control.Name());
        emphasis > 0 && control.Kind() == ControlKind::Label) {
        HFONT& heading = state_->headings[emphasis];
        if (heading == nullptr)
            heading = MessageFont(emphasis, DpiOf(window_));
        font = heading;
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.Kind() == ControlKind::Frame && &control != &form_.fraButtonBackground)
        SetFrameColour(window, ToColorRef(control.BackColor()));
    if (!control.Container())
        Place(window, &control == &form_.fraButtonBackground ? ButtonBar()
                      : control.Kind() == ControlKind::Line
                          ? SeparatorLine(&control == &form_.LinTopLine ? 0 : 1)
                          : PageArea());
}

// Sibling windows come in tab order: the error panels above the pages (they
// cover them), the pages, then the lines and the button bar.
void Win32FormView::ArrangeTopLevel()
{
    for (const Control* last :
         {&form_.LinTopLine, &form_.linBottomLine, &form_.fraButtonBackground})
        SetWindowPos(WindowOf(*last), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- Placing ------------------------------------------------------------------

// The grid of a panel being laid out: the columns right of its picture.
struct Win32FormView::Placing {
    int left = 0;
    int right = 0;
    int labelColumn = 0;
};

bool Win32FormView::Shows(const char* name) const
{
    const Control* control = name && *name ? form_.Find(name) : nullptr;
    return control != nullptr && control->Visible() && WindowOf(*control) != nullptr;
}

void Win32FormView::LayOutPanel(Control& panel)
{
    const PageLayout layout = CompleteLayout(form_, panel, LayoutOfPage(PageOf(form_, panel)));
    Placing placing;
    placing.left = kMargin;
    placing.right = kWidth - kMargin;
    HWND previous = HWND_TOP;
    auto inTabOrder = [&previous](HWND window) {
        SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = window;
    };
    if (layout.picture && form_.Find(layout.picture)) {
        const HWND picture = WindowFor(layout.picture);
        Place(picture, {kMargin, kMargin, kMargin + kPictureWidth, PageArea().bottom - kMargin});
        inTabOrder(picture);
        placing.left += kPictureWidth + kPictureGap;
    }
    placing.labelColumn = LabelColumnWidth(layout.rows);
    for (const Row& row : layout.rows) {
        if (row.label && *row.label && form_.Find(row.label))
            inTabOrder(WindowFor(row.label));
        for (const Cell& cell : row.fields) {
            if (form_.Find(cell.name))
                inTabOrder(WindowFor(cell.name));
        }
    }
    LayOutRows(placing, layout.rows);
    KeepCaptionNamesBeforeFields(WindowOf(panel));
}

// Rows whose controls are all hidden take no room; growing rows share what
// the others leave.
void Win32FormView::LayOutRows(Placing& placing, const std::vector<Row>& rows)
{
    std::vector<int> heights;
    int used = 0;
    int growing = 0;
    for (const Row& row : rows) {
        heights.push_back(RowHeight(placing, row));
        if (heights.back() > 0) {
            used += heights.back() + (used > 0 ? kRowGap : 0);
            growing += row.grows ? 1 : 0;
        }
    }
    const int spare = std::max<int>(0, PageArea().bottom - 2 * kMargin - used);
    int top = kMargin;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (heights[i] == 0)
            continue;
        const int height = heights[i] + (rows[i].grows ? spare / growing : 0);
        top += PlaceRow(placing, rows[i], top, height) + kRowGap;
    }
}

int Win32FormView::RowHeight(const Placing& placing, const Row& row) const
{
    int height = 0;
    if (row.label && Shows(row.label))
        height = HeightOf(*form_.Find(row.label), placing.labelColumn);
    const int across = placing.right - placing.left;
    for (const Cell& cell : row.fields) {
        if (!Shows(cell.name))
            continue;
        const Control& control = *form_.Find(cell.name);
        const int width = cell.width > 0           ? cell.width
                          : cell.width == kNatural ? NaturalWidth(control)
                          : row.label              ? across - placing.labelColumn - kColumnGap
                                                   : across;
        height = std::max(height, HeightOf(control, width));
    }
    return height;
}

int Win32FormView::PlaceRow(Placing& placing, const Row& row, int top, int height)
{
    auto place = [&](const Control& control, int left, int width) {
        const int own = row.grows ? height : HeightOf(control, width);
        const int y = top + (height - own) / 2;
        // A drop-down list's window includes its list.
        const int extra = control.Kind() == ControlKind::ComboBox ? kDropDownHeight : 0;
        Place(WindowOf(control), {left, y, left + width, y + own + extra});
    };
    int left = placing.left;
    if (row.label) {
        if (Shows(row.label))
            place(*form_.Find(row.label), left, placing.labelColumn);
        left += placing.labelColumn + (placing.labelColumn > 0 ? kColumnGap : 0);
    }
    std::vector<std::pair<const Control*, int>> fields;
    int fixed = 0;
    int fills = 0;
    for (const Cell& cell : row.fields) {
        if (!Shows(cell.name))
            continue;
        const Control& control = *form_.Find(cell.name);
        const int width = cell.width == kNatural ? NaturalWidth(control) : cell.width;
        fields.emplace_back(&control, width);
        fixed += std::max(width, 0) + (fields.size() > 1 ? kFieldGap : 0);
        fills += width == kFill ? 1 : 0;
    }
    const int spare = std::max(0, placing.right - left - fixed);
    for (const auto& [control, width] : fields) {
        const int shown = width == kFill ? spare / fills : width;
        place(*control, left, shown);
        left += shown + kFieldGap;
    }
    return height;
}

int Win32FormView::HeightOf(const Control& control, int width) const
{
    const HWND window = WindowOf(control);
    const int line = TextSize(window, L"X", 0).cy;
    switch (control.Kind()) {
    case ControlKind::Label:
        return TextSize(window, Wide(control.Caption()), std::max(width, 1)).cy
               + (HeadingEmphasis(control.Name()) > 0 ? kHeadingGap : 0);
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
        return control.MultiLine() ? 4 * line : line + 10;
    case ControlKind::ListBox:
        return 3 * line + 4;
    case ControlKind::CheckBox:
        return line + 6;
    case ControlKind::CommandButton:
        return kButtonHeight;
    case ControlKind::Image:
        return 72;
    case ControlKind::Animation:
        return 48;
    default:
        return line;
    }
}

int Win32FormView::NaturalWidth(const Control& control) const
{
    const HWND window = WindowOf(control);
    const int text = TextSize(window, Wide(WithoutMnemonics(control.Caption())), 0).cx;
    switch (control.Kind()) {
    case ControlKind::Label:
        return text + 2;
    case ControlKind::CommandButton:
        return std::max(75, text + 24);
    case ControlKind::CheckBox:
        return text + 24;
    case ControlKind::Image:
        return 200;
    case ControlKind::Animation:
        return 48;
    default:
        return 100;
    }
}

// Wide enough for the labels beside the fields on one line, unless one is so
// long that it had better wrap.
int Win32FormView::LabelColumnWidth(const std::vector<Row>& rows) const
{
    int width = 0;
    for (const Row& row : rows) {
        if (row.label && *row.label && form_.Find(row.label))
            width = std::max(width, NaturalWidth(*form_.Find(row.label)));
    }
    return std::min(width, kLabelColumnMax);
}

// --- The member's input, into the model ------------------------------------------

LRESULT Win32FormView::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Enter, Escape and F1, as the dialog keys send them.
    const auto controlOf = [this](HWND window) { return ControlOf(GetDlgCtrlID(window)); };
    if (Control* button = ButtonForKey(form_, message, wParam, GetFocus(), controlOf)) {
        Feed(*button, BN_CLICKED, WindowOf(*button));
        return message == WM_HELP || message == kHiddenAccessKey ? TRUE : 0;
    }
    switch (message) {
    case WM_HELP:
        return TRUE;
    case kHiddenAccessKey:
        return FALSE;
    case WM_DPICHANGED:
        ShowDpi(*reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (const LRESULT brush =
                ColourOf(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return brush;
        break;
    case WM_CLOSE:
        // Closing the window is the member's way of saying Cancel; what
        // happens then is the wizard's business.
        if (form_.cmdCancel.UsableOnForm())
            Feed(form_.cmdCancel, BN_CLICKED, nullptr);
        return 0;
    case WM_SETCURSOR:
        if (form_.MousePointer() == kHourglass) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
            return TRUE;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        FollowWindowPosition();
        break;
    case WM_ACTIVATE:
        KeepFocus(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_NEXTDLGCTL:
        MoveFocus(wParam, LOWORD(lParam) != 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32FormView::Command(int id, int code, HWND from)
{
    Control* control = ControlOf(id);
    if (control != nullptr && from != nullptr && from == WindowOf(*control))
        Feed(*control, code, from);
}

void Win32FormView::Feed(Control& control, int code, HWND from)
{
    // A disabled window (a message box is up) or control takes no input,
    // whoever sends it.
    if (updating_ > 0 || !IsWindowEnabled(window_) || (from != nullptr && !IsWindowEnabled(from)))
        return;
    const std::shared_ptr<bool> alive = alive_;
    ++handling_;
    // Nothing may be thrown through the system's window procedures.
    try {
        switch (control.Kind()) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED)
                control.Click();
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED)
                control.SetValue(SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE)
                control.Type(Utf8(WindowText(from)));
            break;
        case ControlKind::ComboBox:
        case ControlKind::ListBox: {
            const bool combo = control.Kind() == ControlKind::ComboBox;
            if (code != (combo ? CBN_SELCHANGE : LBN_SELCHANGE))
                break;
            const auto index = SendMessageW(from, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
            if (index >= 0)
                control.SetListIndex(static_cast<int>(index));
            break;
        }
        default:
            break;
        }
    } catch (const std::exception& error) {
        OutputDebugStringA(
            ("RegWizard: the member's input failed: " + std::string(error.what())).c_str());
    }
    if (!*alive)
        return; // the view went from inside the handler
    --handling_;
    // Typing past the limit, or a text the model would not take, shows what it holds.
    if (control.Kind() == ControlKind::TextBox && code == EN_CHANGE && IsWindow(from)) {
        const Updating updating(updating_);
        ShowText(control, from);
    }
}

LRESULT Win32FormView::ColourOf(HWND window, HDC dc)
{
    const Control* control = ControlOf(GetDlgCtrlID(window));
    if (control == nullptr || WindowOf(*control) != window || KeepsStandardLook(control->Kind())
        || !OnPanel(*control, form_.fraButtonBackground))
        return 0;
    const Control& panel = *control->Container();
    // Labels have colours of their own (page checks turn them red); the rest
    // take the panel's.
    const std::uint32_t fore =
        control->Kind() == ControlKind::Label ? control->ForeColor() : panel.ForeColor();
    SetTextColor(dc, ToColorRef(fore));
    SetBkColor(dc, ToColorRef(panel.BackColor()));
    return reinterpret_cast<LRESULT>(Brush(ToColorRef(panel.BackColor())));
}

// As a dialog box does: the control that had the focus when the window was
// left (for a message box, say) has it again when the window comes back.
void Win32FormView::KeepFocus(bool activated)
{
    const HWND focus = GetFocus();
    if (!activated) {
        if (focus != nullptr && IsChild(window_, focus))
            lastFocus_ = focus;
        return;
    }
    if (lastFocus_ == nullptr || !IsChild(window_, lastFocus_) || !IsWindowVisible(lastFocus_))
        lastFocus_ = GetNextDlgTabItem(window_, nullptr, FALSE);
    SetFocus(lastFocus_ != nullptr ? lastFocus_ : window_);
}

// What a dialog box does for WM_NEXTDLGCTL, which the dialog manager sends
// for a label's mnemonic: the focus to `target` itself (`direct`), or to the
// next (target 0) or previous tab stop. A text box reached so has its text
// selected.
void Win32FormView::MoveFocus(WPARAM target, bool direct)
{
    const HWND focus = GetFocus();
    const HWND next =
        direct ? reinterpret_cast<HWND>(target)
               : GetNextDlgTabItem(window_, IsChild(window_, focus) ? focus : nullptr, target != 0);
    if (next == nullptr)
        return;
    SetFocus(next);
    if (!direct && (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessageW(next, EM_SETSEL, 0, -1);
}

// The member moving the window moves the form.
void Win32FormView::FollowWindowPosition()
{
    RECT rect;
    if (updating_ > 0 || IsIconic(window_) || !GetWindowRect(window_, &rect))
        return;
    if (rect.left != form_.Left() || rect.top != form_.Top())
        form_.Move(rect.left, rect.top);
}

// --- The model, into the windows -----------------------------------------------

void Win32FormView::ObserveModel()
{
    ui::WatchModel(
        form_, alive_, [this](Control& changed, Property property) { Show(changed, property); },
        [this](FormModel::FormProperty property) { ShowForm(property); });
}

void Win32FormView::ShowAll(Control& control)
{
    for (Property property : ui::kShownProperties)
        Show(control, property);
}

void Win32FormView::Show(Control& control, Property property)
{
    const HWND window = WindowOf(control);
    if (window == nullptr)
        return;
    const Updating updating(updating_);
    const ControlKind kind = control.Kind();
    switch (property) {
    case Property::Caption:
        if (kind == ControlKind::Label || kind == ControlKind::CommandButton
            || kind == ControlKind::CheckBox)
            SetWindowTextW(window, Wide(control.Caption()).c_str());
        break;
    case Property::Text:
        return ShowText(control, window);
    case Property::Visible:
        ShowWindow(window, control.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case Property::Enabled:
        EnableWindow(window, control.Enabled());
        return;
    case Property::ForeColor:
        InvalidateRect(window, nullptr, TRUE);
        return;
    case Property::Items:
        return ShowItems(control, window);
    case Property::ListIndex:
        return ShowListIndex(control, window);
    case Property::Value:
        if (kind == ControlKind::CheckBox)
            SendMessageW(window, BM_SETCHECK, control.Value() == 1 ? BST_CHECKED : BST_UNCHECKED,
                         0);
        return;
    case Property::MaxLength:
        if (kind == ControlKind::TextBox)
            SendMessageW(window, EM_LIMITTEXT,
                         static_cast<WPARAM>(std::max(0, control.MaxLength())), 0);
        return;
    case Property::PasswordChar:
        if (kind == ControlKind::TextBox) {
            const std::wstring mask = Wide(control.PasswordChar());
            SendMessageW(window, EM_SETPASSWORDCHAR, mask.empty() ? 0 : mask[0], 0);
            InvalidateRect(window, nullptr, TRUE);
        }
        return;
    case Property::AnimationFile:
        if (kind == ControlKind::Animation)
            RunAnimation(window, control.AnimationFile());
        return;
    case Property::Missing:
        if (marks_)
            marks_->Show(control, window);
        return;
    }
    // A caption or a control shown or hidden moves what stands below it.
    if (layoutReady_ && OnPanel(control, form_.fraButtonBackground))
        LayOutPanel(*control.Container());
}

void Win32FormView::ShowText(const Control& control, HWND window)
{
    if (control.Kind() != ControlKind::TextBox)
        return;
    const std::wstring text = WithCrLf(control.Text());
    if (WindowText(window) != text)
        SetWindowTextW(window, text.c_str());
}

void Win32FormView::ShowItems(const Control& control, HWND window)
{
    const bool combo = control.Kind() == ControlKind::ComboBox;
    if (!combo && control.Kind() != ControlKind::ListBox)
        return;
    SendMessageW(window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (const std::string& item : control.Items()) {
        const std::wstring text = Wide(item);
        SendMessageW(window, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    ShowListIndex(control, window);
}

void Win32FormView::ShowListIndex(const Control& control, HWND window)
{
    const auto index = static_cast<WPARAM>(control.ListIndex());
    if (control.Kind() == ControlKind::ComboBox)
        SendMessageW(window, CB_SETCURSEL, index, 0);
    else if (control.Kind() == ControlKind::ListBox)
        SendMessageW(window, LB_SETCURSEL, index, 0);
}

void Win32FormView::ShowForm(FormModel::FormProperty property)
{
    const Updating updating(updating_);
    switch (property) {
    case FormModel::FormProperty::Caption:
        SetWindowTextW(window_, Wide(form_.Caption()).c_str());
        return;
    case FormModel::FormProperty::Visible:
    case FormModel::FormProperty::Loaded:
        ShowWindow(window_, form_.Visible() ? SW_SHOW : SW_HIDE);
        return;
    case FormModel::FormProperty::MousePointer:
        return ShowCursor();
    case FormModel::FormProperty::Focus:
        if (const Control* active = form_.ActiveControl())
            SetFocus(WindowOf(*active));
        return;
    case FormModel::FormProperty::Position:
        return ShowPosition();
    case FormModel::FormProperty::DefaultButton:
        return ShowDefaultButton(form_,
                                 [this](const Control& control) { return WindowOf(control); });
    }
}

// The form's size is its window's inside; the frame comes on top.
void Win32FormView::ShowPosition()
{
    RECT frame = ToPixels({0, 0, form_.Width() > 0 ? form_.Width() : kWidth,
                           form_.Height() > 0 ? form_.Height() : kHeight},
                          DpiOf(window_));
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    SetWindowPos(window_, nullptr, form_.Left(), form_.Top(), frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moved to a screen of another DPI: fonts and layout for its pixels, in the
// place and size the system suggests.
void Win32FormView::ShowDpi(const RECT& suggested)
{
    const HFONT oldFont = state_->font;
    const std::map<int, HFONT> oldHeadings = std::move(state_->headings);
    state_->headings.clear();
    marks_ = std::make_unique<MissingMarks>(); // the old one gives the plain fonts back
    state_->font = MessageFont(0, DpiOf(window_));
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& control : form_.Controls())
        SetLook(*control, WindowOf(*control));
    const std::array<Control*, 4> buttons = {&form_.cmdBack, &form_.cmdNext, &form_.cmdCancel,
                                             &form_.cmdHelp};
    for (std::size_t i = 0; i < buttons.size(); ++i)
        Place(WindowOf(*buttons[i]), ButtonSlot(i));
    for (int page = 0; page < wizard::kPageCount; ++page)
        LayOutPanel(form_.Page(page));
    LayOutPanel(form_.fraError);
    LayOutPanel(form_.fraTerminalError);
    for (const auto& control : form_.Controls())
        marks_->Show(*control, WindowOf(*control));
    DeleteObject(oldFont);
    for (const auto& heading : oldHeadings)
        DeleteObject(heading.second);
}

// The pointer changes at once when it is over the window; else when it gets
// there (WM_SETCURSOR).
void Win32FormView::ShowCursor()
{
    POINT at;
    RECT rect;
    if (GetCursorPos(&at) && GetWindowRect(window_, &rect) && PtInRect(&rect, at))
        SetCursor(LoadCursorW(
            nullptr,
            reinterpret_cast<LPCWSTR>(form_.MousePointer() == kHourglass ? IDC_WAIT : IDC_ARROW)));
}

wizard::FormViewFactory MakeViewFactory()
{
    return [](wizard::RegWizardDesign& form) -> std::unique_ptr<wizard::FormView> {
        return std::make_unique<Win32FormView>(form);
    };
}

} // namespace regwiz::ui::win32

namespace regwiz::platform::win32 {

wizard::FormViewFactory MakeWin32ViewFactory()
{
    return ui::win32::MakeViewFactory();
}

} // namespace regwiz::platform::win32
