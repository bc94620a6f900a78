#include "ui/win32/win32_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "ui/win32/debug_window.h"
#include "ui/win32/win32_controls.h"

namespace regwiz::ui::win32 {
namespace {

using wizard::RegWizardDesign;
namespace colour = wizard::colour;

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string TextOf(HWND window)
{
    return Utf8(WindowText(window));
}

std::string ClassNameOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Utf8(name);
}

// A message box answered by a thread hook: `onBox` runs when the box
// activates; it answers it (or leaves that to someone else).
struct BoxHook {
    static inline std::function<void(HWND box)> onBox;
    static inline HHOOK hook = nullptr;

    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE && ClassNameOf(reinterpret_cast<HWND>(wParam)) == "#32770"
            && onBox) {
            const auto run = onBox;
            run(reinterpret_cast<HWND>(wParam));
        }
        return CallNextHookEx(hook, code, wParam, lParam);
    }

    explicit BoxHook(std::function<void(HWND)> handler)
    {
        onBox = std::move(handler);
        hook = SetWindowsHookExW(WH_CBT, Watch, nullptr, GetCurrentThreadId());
    }
    ~BoxHook()
    {
        UnhookWindowsHookEx(hook);
        onBox = nullptr;
    }
};

void Answer(HWND box, int button = IDOK)
{
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

class Win32ViewTest : public ::testing::Test {
protected:
    Win32ViewTest() { form.SetVisible(true); }
    ~Win32ViewTest() override
    {
        view.reset();
        Pump();
    }

    HWND For(const std::string& name) const { return view->WindowFor(name); }

    void GoToPage(int page)
    {
        for (int n = 0; n < wizard::kPageCount; ++n)
            form.Page(n).SetVisible(n == page);
    }

    void Click(const std::string& name) { SendMessageW(For(name), BM_CLICK, 0, 0); }

    // A list's choice as the member makes it: the selection, then the
    // notification the control sends its parent.
    void Choose(const std::string& name, int index)
    {
        const HWND list = For(name);
        const bool combo = ClassNameOf(list) == "ComboBox";
        SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(list), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(list), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    std::string NameOf(HWND window) const
    {
        const int index = GetDlgCtrlID(window) - kFirstControlId;
        if (index < 0 || index >= static_cast<int>(form.Controls().size()))
            return "?";
        return form.Controls()[static_cast<std::size_t>(index)]->Name();
    }

    RegWizardDesign form;
    std::unique_ptr<Win32FormView> view = std::make_unique<Win32FormView>(form);
};

// --- What outside programs find -----------------------------------------------

TEST_F(Win32ViewTest, EveryControlHasAWindowWithItsControlId)
{
    EXPECT_EQ(FindWindowW(kFormWindowClass, L"quorvale Registration Wizard"), view->Window());
    for (const auto& control : form.Controls()) {
        const HWND window = For(control->Name());
        ASSERT_NE(window, nullptr) << control->Name();
        EXPECT_EQ(GetDlgCtrlID(window), ControlId(form, control->Name())) << control->Name();
    }
    EXPECT_EQ(ControlId(form, "cmdBack"), kFirstControlId + 7);
    EXPECT_EQ(ControlId(form, "nosuchcontrol"), 0);
    EXPECT_EQ(For("nosuchcontrol"), nullptr);
    EXPECT_EQ(GetParent(For("fraSteps(3)")), view->Window());
    EXPECT_EQ(GetParent(For("txtCity")), For("fraSteps(2)"));
    EXPECT_EQ(ClassNameOf(For("lblCity")), "Static");
    EXPECT_EQ(ClassNameOf(For("txtCity")), "Edit");
    EXPECT_EQ(ClassNameOf(For("cboState")), "ComboBox");
    EXPECT_EQ(ClassNameOf(For("lstDevices")), "ListBox");
    EXPECT_EQ(ClassNameOf(For("chkTenDigit")), "Button");
    const auto comboStyle = GetWindowLongW(For("cboState"), GWL_STYLE);
    EXPECT_EQ(comboStyle & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(GetWindowLongW(For("lstDevices"), GWL_STYLE) & LBS_NOTIFY);
}

// --- The model drives the windows ----------------------------------------------

TEST_F(Win32ViewTest, FormPropertiesReachTheWindow)
{
    EXPECT_TRUE(IsWindowVisible(view->Window()));
    form.SetCaption("Registration Wizard - Step 2 of 11");
    EXPECT_EQ(TextOf(view->Window()), "Registration Wizard - Step 2 of 11");
    form.Move(30, 40);
    RECT rect;
    GetWindowRect(view->Window(), &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    RECT client;
    GetClientRect(view->Window(), &client);
    EXPECT_EQ(client.right, RegWizardDesign::kDesignWidth);
    EXPECT_EQ(client.bottom, RegWizardDesign::kDesignHeight);

    SetWindowPos(view->Window(), nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(form.Left(), 70) << "the member moving the window moves the form";
    EXPECT_EQ(form.Top(), 80);

    form.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(view->Window()));
}

TEST_F(Win32ViewTest, VisibilityAndEnabledStateFollowTheModel)
{
    EXPECT_TRUE(IsWindowVisible(For("fraSteps(0)")));
    for (const char* hidden : {"fraSteps(1)", "fraSteps(11)", "fraError", "cmdBack"})
        EXPECT_FALSE(GetWindowLongW(For(hidden), GWL_STYLE) & WS_VISIBLE) << hidden;
    GoToPage(5);
    EXPECT_FALSE(IsWindowVisible(For("fraSteps(0)")));
    EXPECT_TRUE(IsWindowVisible(For("cboPaymentType")));

    form.cmdBack.SetVisible(true);
    form.cmdBack.SetEnabled(true);
    EXPECT_TRUE(IsWindowVisible(For("cmdBack")));
    EXPECT_TRUE(IsWindowEnabled(For("cmdBack")));
    form.cmdNext.SetEnabled(false);
    EXPECT_TRUE(GetWindowLongW(For("cmdNext"), GWL_STYLE) & WS_DISABLED);
}

TEST_F(Win32ViewTest, CaptionsTextsAndValuesReachTheirWindows)
{
    form.lblError.SetCaption("Line one\r\nLine two");
    EXPECT_EQ(TextOf(For("lblError")), "Line one\r\nLine two");
    EXPECT_EQ(TextOf(For("cmdNext")), "&Next >");
    form.cmdNext.SetCaption("Agree");
    EXPECT_EQ(TextOf(For("cmdNext")), "Agree");

    form.chkTenDigit.SetValue(1);
    EXPECT_EQ(SendMessageW(For("chkTenDigit"), BM_GETCHECK, 0, 0), BST_CHECKED);

    form.txtCity.SetText("Tempe");
    EXPECT_EQ(TextOf(For("txtCity")), "Tempe");
    form.txtPassword1.SetMaxLength(8);
    EXPECT_EQ(SendMessageW(For("txtPassword1"), EM_GETLIMITTEXT, 0, 0), 8);

    form.txtAgreement.SetText("Terms\r\nMore terms\nLast");
    const HWND agreement = For("txtAgreement");
    EXPECT_EQ(TextOf(agreement), "Terms\r\nMore terms\r\nLast");
    const auto style = GetWindowLongW(agreement, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
}

TEST_F(Win32ViewTest, ListsFollowTheirEntriesAndSelection)
{
    const HWND states = For("cboState");
    EXPECT_EQ(SendMessageW(states, CB_GETCOUNT, 0, 0), 59);

    const HWND gender = For("cboGender");
    form.cboGender.AddItem("Female");
    form.cboGender.AddItem("Male");
    form.cboGender.SetListIndex(1);
    EXPECT_EQ(SendMessageW(gender, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(gender, CB_GETCURSEL, 0, 0), 1);
    form.cboGender.Clear();
    EXPECT_EQ(SendMessageW(gender, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(gender, CB_GETCURSEL, 0, 0), CB_ERR);

    int clicks = 0;
    form.lstDevices.OnClick([&] { ++clicks; });
    form.lstDevices.AddItem("Standard 56000 bps Modem");
    form.lstDevices.AddItem("Null Modem Cable");
    form.lstDevices.SetListIndex(1);
    EXPECT_EQ(SendMessageW(For("lstDevices"), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(clicks, 1) << "the window echoing the choice must not choose again";
}

TEST_F(Win32ViewTest, APasswordFieldNeverShowsItsText)
{
    const HWND password = For("txtPassword1");
    form.txtPassword1.SetPasswordChar("*");
    form.txtPassword1.SetText("secret");
    EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_TRUE(GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD);
    SendMessageW(password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
    EXPECT_EQ(form.txtPassword1.Text(), "typed");
    EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), L'*');

    form.txtPassword1.SetPasswordChar("");
    EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), 0);

    // A field masked before its window is made starts masked.
    view.reset();
    form.txtPassword2.SetPasswordChar("*");
    view = std::make_unique<Win32FormView>(form);
    EXPECT_TRUE(GetWindowLongW(For("txtPassword2"), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(SendMessageW(For("txtPassword2"), EM_GETPASSWORDCHAR, 0, 0), L'*');
}

// The colours a control is drawn in, as it asks its parent for them.
struct Colours {
    COLORREF text;
    COLORREF back;
};

Colours ColoursOf(HWND control)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control));
    const Colours colours{GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return colours;
}

TEST_F(Win32ViewTest, LabelColoursFollowTheModel)
{
    GoToPage(2);
    EXPECT_EQ(ColoursOf(For("lblFirstName")).text, RGB(255, 255, 255));
    EXPECT_EQ(ColoursOf(For("lblFirstName")).back, RGB(0, 0, 255));
    // A page check that fails turns the field's label red.
    form.lblFirstName.SetForeColor(colour::Red);
    EXPECT_EQ(ColoursOf(For("lblFirstName")).text, RGB(255, 0, 0));
    form.lblFirstName.SetForeColor(0x123456);
    EXPECT_EQ(ColoursOf(For("lblFirstName")).text, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(ColoursOf(For("chkTenDigit")).text, RGB(255, 255, 255)) << "the page's colour";
}

TEST_F(Win32ViewTest, FocusFollowsTheModel)
{
    GoToPage(2);
    form.SetFocus(form.txtFirstName);
    EXPECT_EQ(GetFocus(), For("txtFirstName"));
    form.SetFocus(form.cboState);
    EXPECT_EQ(GetFocus(), For("cboState"));
}

TEST_F(Win32ViewTest, TheAnimationRunsOnlyWhileItsFileIsOpen)
{
    const HWND animation = For("amiPleaseWait");
    EXPECT_FALSE(AnimationRunning(animation));
    form.amiPleaseWait.SetAnimationFile("C:\\nowhere\\findcomp.avi");
    EXPECT_TRUE(AnimationRunning(animation));
    EXPECT_TRUE(AnimationDrawn(animation)) << "no clip to play: the drawn ring turns";
    form.amiPleaseWait.SetAnimationFile("");
    EXPECT_FALSE(AnimationRunning(animation));
}

// --- Keyboard -------------------------------------------------------------------

TEST_F(Win32ViewTest, TabGoesDownThePageThenAlongTheButtons)
{
    GoToPage(2);
    const std::vector<std::string> expected = {
        "txtFirstName",    "txtLastName", "txtAddress1", "txtAddress2", "txtCity",
        "cboState",        "txtZipCode",  "cboAge",      "cboGender",   "txtPhoneNumber",
        "txtEmailAddress", "cmdNext",     "cmdCancel",   "cmdHelp",     "txtFirstName"};
    std::vector<std::string> stops = {"txtFirstName"};
    HWND at = For("txtFirstName");
    for (std::size_t i = 1; i < expected.size(); ++i) {
        at = GetNextDlgTabItem(view->Window(), at, FALSE);
        stops.push_back(NameOf(at));
    }
    EXPECT_EQ(stops, expected);
}

TEST_F(Win32ViewTest, TabAndMnemonicsWorkInAnyMessageLoop)
{
    GoToPage(2);
    form.lblCity.SetCaption("&City:");
    form.SetFocus(form.txtFirstName);
    PostMessageW(For("txtFirstName"), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_EQ(GetFocus(), For("txtLastName"));
    PostMessageW(For("txtLastName"), WM_SYSCHAR, 'c', 1 << 29);
    Pump();
    EXPECT_EQ(GetFocus(), For("txtCity")) << "Alt+C goes to the field after its label";
}

// --- The member's input reaches the model ----------------------------------------

TEST_F(Win32ViewTest, ButtonClicksReachTheirHandlersWhileEnabled)
{
    int clicks = 0;
    form.cmdNext.OnClick([&] { ++clicks; });
    Click("cmdNext");
    EXPECT_EQ(clicks, 1);
    form.cmdNext.SetEnabled(false);
    Click("cmdNext");
    EXPECT_EQ(clicks, 1);
}

TEST_F(Win32ViewTest, TypingReachesTheModelWithinTheLimit)
{
    GoToPage(2);
    form.txtFirstName.SetMaxLength(5);
    SendMessageW(For("txtFirstName"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Alexandra"));
    EXPECT_EQ(form.txtFirstName.Text(), "Alexa");
    EXPECT_EQ(TextOf(For("txtFirstName")), "Alexa");

    SendMessageW(For("txtCity"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Zürich"));
    EXPECT_EQ(form.txtCity.Text(), "Zürich");
}

TEST_F(Win32ViewTest, ChoosingAListEntryRaisesTheListsClick)
{
    int clicks = 0;
    form.cboGender.OnClick([&] { ++clicks; });
    form.cboGender.AddItem("Female");
    form.cboGender.AddItem("Male");
    Choose("cboGender", 1);
    EXPECT_EQ(form.cboGender.Text(), "Male");
    EXPECT_EQ(clicks, 1);

    form.lstDevices.AddItem("Standard 56000 bps Modem");
    form.lstDevices.AddItem("Null Modem Cable");
    Choose("lstDevices", 1);
    EXPECT_EQ(form.lstDevices.ListIndex(), 1);
}

TEST_F(Win32ViewTest, CheckingABoxSetsItsValueAndRaisesItsClick)
{
    GoToPage(10);
    int clicks = 0;
    form.chkTenDigit.OnClick([&] { ++clicks; });
    Click("chkTenDigit");
    EXPECT_EQ(form.chkTenDigit.Value(), 1);
    Click("chkTenDigit");
    EXPECT_EQ(form.chkTenDigit.Value(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(Win32ViewTest, ClosingTheWindowPressesCancelWhenItCanBePressed)
{
    int cancels = 0;
    form.cmdCancel.OnClick([&] { ++cancels; });
    SendMessageW(view->Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(IsWindowVisible(view->Window())) << "what Cancel does is the wizard's business";
    form.cmdCancel.SetEnabled(false);
    SendMessageW(view->Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(cancels, 1);
}

// --- Message boxes and lifetime ----------------------------------------------------

TEST_F(Win32ViewTest, AMessageBoxBlocksTheWizardsButtons)
{
    int nexts = 0;
    form.cmdNext.OnClick([&] { ++nexts; });
    form.cmdHelp.OnClick(
        [] { platform::win32::Win32MessageBoxes().Show("Help is on its way", "RegWizard", 0); });
    bool enabledDuringBox = true;
    HWND owner = nullptr;
    {
        BoxHook hook([&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            enabledDuringBox = IsWindowEnabled(view->Window()) != FALSE;
            Click("cmdNext");
            Answer(box);
        });
        Click("cmdHelp");
    }
    EXPECT_EQ(owner, view->Window());
    EXPECT_FALSE(enabledDuringBox);
    EXPECT_EQ(nexts, 0) << "Next pressed behind the box";
    EXPECT_TRUE(IsWindowEnabled(view->Window()));
    Click("cmdNext");
    EXPECT_EQ(nexts, 1);
}

TEST_F(Win32ViewTest, TheViewMayGoFromInsideItsOwnClick)
{
    const HWND window = view->Window();
    form.cmdCancel.OnClick([&] { view.reset(); });
    SendMessageW(For("cmdCancel"), BM_CLICK, 0, 0);
    ASSERT_EQ(view, nullptr);
    EXPECT_TRUE(IsWindow(window)) << "destroyed later, not under the running click";
    EXPECT_FALSE(IsWindowVisible(window));
    // The model lives on a little and keeps changing; nobody listens now.
    form.SetCaption("Gone");
    form.lblWelcome.SetCaption("Gone");
    form.cboState.SetListIndex(3);
    SendMessageW(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window));
}

// What the running transfer does when it completes inside the box's loop.
std::function<void()> transferDone;

void CALLBACK TransferCompletes(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (transferDone)
        transferDone();
}

// A transfer completing while a box is up unloads the form: the box, the
// click under it and the window all come back safely.
TEST_F(Win32ViewTest, TheWindowSurvivesAnUnloadInsideANestedLoop)
{
    const HWND window = view->Window();
    HWND shownBox = nullptr;
    platform::Answer answer = platform::Answer::Cancel;
    form.cmdNext.OnClick([&] {
        SetTimer(nullptr, 0, 10, TransferCompletes);
        answer = platform::win32::Win32MessageBoxes().Show("Connecting...", "RegWizard", 1);
    });
    transferDone = [&] {
        view.reset();
        Answer(shownBox);
    };
    {
        BoxHook hook([&](HWND box) { shownBox = box; });
        Click("cmdNext");
    }
    transferDone = nullptr;
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(answer, platform::Answer::Ok);
    Pump();
    EXPECT_FALSE(IsWindow(window));
}

// --- Placing ------------------------------------------------------------------------

// Texts and entries as the running wizard fills them in: the longest the
// pages have to hold, with everything of the access-number page shown.
void FillLikeTheRunningWizard(RegWizardDesign& form)
{
    for (const char* item : {"Under 18", "18-24", "25-34", "35-49", "50 or over"})
        form.cboAge.AddItem(item);
    form.lblAccessNumber.SetCaption(
        "The access number closest to you is (602) 555-0199 in Phoenix, AZ. If this is a "
        "long-distance call for you, select a different access number below.");
    form.lblConfigureStep.SetCaption("Step2: Connecting to quorvale");
    form.lblError.SetCaption("The registration server could not be reached.\r\n\r\nCheck that "
                             "your modem is connected to a phone line, then click Next to try "
                             "again, or call 1-800-555-0142 for help.");
    for (wizard::Control* hidden : {&form.lstAccessNumbers, &form.lblAccessNumbers,
                                    &form.lblAccessState, &form.cboAccessState, &form.lblAccessCity,
                                    &form.cmdSelectAccessNumber, &form.cboAccessCity})
        hidden->SetVisible(true);
}

// Where `window` stands inside its parent.
RECT PlaceOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(Win32ViewTest, EveryPanelShowsItsControlsSideBySideWithinIt)
{
    FillLikeTheRunningWizard(form);
    std::vector<wizard::Control*> panels(form.fraSteps.begin(), form.fraSteps.end());
    panels.push_back(&form.fraError);
    for (const wizard::Control* panel : panels) {
        RECT area;
        GetClientRect(For(panel->Name()), &area);
        std::vector<std::pair<std::string, RECT>> shown;
        for (const auto& control : form.Controls()) {
            if (control->Container() != panel || !control->Visible())
                continue;
            const RECT rect = PlaceOf(For(control->Name()));
            EXPECT_TRUE(rect.right > rect.left && rect.bottom > rect.top) << control->Name();
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= area.right
                        && rect.bottom <= area.bottom)
                << control->Name() << " leaves " << panel->Name();
            for (const auto& [other, otherRect] : shown) {
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &rect, &otherRect))
                    << control->Name() << " covers " << other;
            }
            shown.emplace_back(control->Name(), rect);
        }
    }
}

TEST_F(Win32ViewTest, TheErrorPanelCoversThePage)
{
    GoToPage(4);
    form.fraError.SetVisible(true);
    const RECT panel = PlaceOf(For("fraError"));
    const POINT centre = {(panel.left + panel.right) / 2, (panel.top + panel.bottom) / 2};
    EXPECT_EQ(ChildWindowFromPointEx(view->Window(), centre, CWP_SKIPINVISIBLE), For("fraError"));
}

// --- The debug window --------------------------------------------------------------

TEST(Win32DebugWindowTest, ClearEmptiesTheList)
{
    Win32DebugWindow debug;
    EXPECT_EQ(TextOf(debug.Window()), "Debug information");
    debug.AddLine("Page 2 entered");
    debug.AddLine("Check passed");
    EXPECT_EQ(SendMessageW(debug.List(), LB_GETCOUNT, 0, 0), 2);
    SendMessageW(debug.ClearButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(debug.List(), LB_GETCOUNT, 0, 0), 0);
}

} // namespace
} // namespace regwiz::ui::win32
