// The Windows window as a keyboard and a screen reader meet it: Enter,
// Escape and F1 posted as the keyboard posts them, the tab order, the default
// button, the labels screen readers name fields by, and the DPI units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "ui/win32/form_access.h"
#include "ui/win32/win32_controls.h"
#include "ui/win32/win32_view.h"

namespace regwiz::ui::win32 {
namespace {

using wizard::Control;

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string ClassNameOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Utf8(name);
}

class Win32AccessTest : public ::testing::Test {
protected:
    Win32AccessTest()
    {
        form.SetVisible(true);
        for (Control* button : {&form.cmdBack, &form.cmdNext, &form.cmdCancel, &form.cmdHelp})
            button->OnClick([this, button] { pressed.push_back(button->Name()); });
    }
    ~Win32AccessTest() override
    {
        view.reset();
        Pump();
    }

    HWND For(const Control& control) const { return view->WindowFor(control.Name()); }

    void GoToPage(int page)
    {
        for (int n = 0; n < wizard::kPageCount; ++n)
            form.Page(n).SetVisible(n == page);
    }

    // A key as the keyboard sends it: to the window with the focus, through
    // the thread's message queue.
    void Press(WPARAM key)
    {
        const HWND focus = GetFocus();
        PostMessageW(focus != nullptr ? focus : view->Window(), WM_KEYDOWN, key, 1);
        PostMessageW(focus != nullptr ? focus : view->Window(), WM_KEYUP, key, 0xC0000001);
        Pump();
    }

    std::string NameOf(HWND window) const
    {
        const int index = GetDlgCtrlID(window) - kFirstControlId;
        if (index < 0 || index >= static_cast<int>(form.Controls().size()))
            return "?" + ClassNameOf(window) + std::to_string(GetDlgCtrlID(window));
        return form.Controls()[static_cast<std::size_t>(index)]->Name();
    }

    static bool IsDefault(HWND button)
    {
        return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }

    wizard::RegWizardDesign form;
    std::unique_ptr<Win32FormView> view = std::make_unique<Win32FormView>(form);
    std::vector<std::string> pressed;
};

TEST_F(Win32AccessTest, EnterPressesTheDefaultButtonOrTheFocusedOne)
{
    GoToPage(2);
    EXPECT_TRUE(IsDefault(For(form.cmdNext)));
    EXPECT_FALSE(IsDefault(For(form.cmdCancel)));
    form.SetFocus(form.txtCity);
    Press(VK_RETURN);
    EXPECT_EQ(pressed, std::vector<std::string>{"cmdNext"});

    form.cmdBack.SetVisible(true);
    form.cmdBack.SetEnabled(true);
    form.SetFocus(form.cmdBack);
    Press(VK_RETURN);
    EXPECT_EQ(pressed.back(), "cmdBack") << "a focused button takes Enter itself";

    // The last page: "Done" is the default, and Next is gone.
    form.cmdNext.SetVisible(false);
    form.cmdCancel.SetCaption("Done");
    form.SetDefaultButton(&form.cmdCancel);
    EXPECT_TRUE(IsDefault(For(form.cmdCancel)));
    EXPECT_FALSE(IsDefault(For(form.cmdNext)));
    form.cmdHelp.SetVisible(true);
    form.SetFocus(form.cmdHelp);
    form.SetFocus(form.cmdCancel);
    Press(VK_RETURN);
    EXPECT_EQ(pressed.back(), "cmdCancel");
}

TEST_F(Win32AccessTest, EscapeIsCancelAndF1IsHelpWhileTheyCanBePressed)
{
    GoToPage(2);
    form.SetFocus(form.txtFirstName);
    Press(VK_ESCAPE);
    Press(VK_F1);
    EXPECT_EQ(pressed, (std::vector<std::string>{"cmdCancel", "cmdHelp"}));

    form.cmdCancel.SetEnabled(false);
    form.cmdHelp.SetVisible(false);
    form.SetFocus(form.txtFirstName);
    Press(VK_ESCAPE);
    Press(VK_F1);
    Press(VK_RETURN);
    EXPECT_EQ(pressed, (std::vector<std::string>{"cmdCancel", "cmdHelp", "cmdNext"}));
}

TEST_F(Win32AccessTest, AltAAgreesAlthoughTheCaptionShowsNoKey)
{
    GoToPage(1);
    form.cmdNext.SetCaption("Agree");
    form.cmdCancel.SetCaption("Do Not Agree");
    form.SetFocus(form.cmdCancel);
    PostMessageW(GetFocus(), WM_SYSCHAR, 'a', 1 << 29);
    Pump();
    EXPECT_EQ(pressed, std::vector<std::string>{"cmdNext"});
    form.cmdNext.SetCaption("&Next >");
    PostMessageW(GetFocus(), WM_SYSCHAR, 'a', 1 << 29);
    Pump();
    EXPECT_EQ(pressed.size(), 1u) << "Alt+A belongs to Agree only";
}

TEST_F(Win32AccessTest, TabPassesTheUndrawnLabelsBy)
{
    GoToPage(5);
    for (Control* shown : {&form.lblCreditCardNumber, &form.txtCCNumber, &form.lblCCExpiration,
                           &form.cboCCMonth, &form.cboCCYear, &form.lblCCName, &form.txtCCName})
        shown->SetVisible(true);
    const std::vector<std::string> expected = {"cboPaymentType", "txtCCNumber", "cboCCMonth",
                                               "cboCCYear",      "txtCCName",   "cmdNext",
                                               "cmdCancel",      "cmdHelp",     "cboPaymentType"};
    form.SetFocus(form.cboPaymentType);
    std::vector<std::string> stops = {NameOf(GetFocus())};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        Press(VK_TAB);
        stops.push_back(NameOf(GetFocus()));
    }
    EXPECT_EQ(stops, expected);
}

// Screen readers name a field by the label just before it in Z order.
TEST_F(Win32AccessTest, EveryFieldHasItsLabelJustBeforeIt)
{
    for (const auto& control : form.Controls()) {
        if (control->Label() == nullptr || control->Kind() == wizard::ControlKind::ListBox)
            continue;
        const HWND label = GetWindow(For(*control), GW_HWNDPREV);
        ASSERT_NE(label, nullptr) << control->Name();
        EXPECT_EQ(ClassNameOf(label), "Static") << control->Name();
        const std::string text = Utf8(WindowText(label));
        if (label == For(*control->Label()))
            EXPECT_EQ(text, control->Label()->Caption()) << control->Name();
        else
            EXPECT_EQ(text, control->AccessibleName()) << control->Name() << " (undrawn)";
    }
    EXPECT_EQ(Utf8(WindowText(GetWindow(For(form.txtAddress2), GW_HWNDPREV))), "Address line 2");
    EXPECT_EQ(Utf8(WindowText(GetWindow(For(form.cboCCYear), GW_HWNDPREV))), "Expiration year");
}

TEST_F(Win32AccessTest, AMissingFieldsCaptionTurnsBoldAndBack)
{
    auto weight = [&](const Control& label) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(For(label), WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return font.lfWeight;
    };
    const LONG plain = weight(form.lblCity);
    form.lblCity.SetMissing(true);
    EXPECT_GE(weight(form.lblCity), FW_BOLD);
    form.lblCity.SetMissing(false);
    EXPECT_EQ(weight(form.lblCity), plain);
}

TEST(DpiUnits, LayoutUnitsBecomeThePixelsOfTheScreen)
{
    EXPECT_EQ(ToPixels(10, 96), 10);
    EXPECT_EQ(ToPixels(10, 144), 15);
    EXPECT_EQ(ToPixels(660, 192), 1320);
    EXPECT_EQ(ToUnits(15, 144), 10);
    EXPECT_EQ(ToUnits(16, 144), 11) << "rounded up: a text measured never clips";
    const RECT scaled = ToPixels(RECT{2, 4, 100, 50}, 120);
    EXPECT_EQ(scaled.left, 3); // 2.5 rounds to 3 (MulDiv rounds half away)
    EXPECT_EQ(scaled.right, 125);
    EXPECT_GE(DpiOf(nullptr), 96u);
}

} // namespace
} // namespace regwiz::ui::win32
