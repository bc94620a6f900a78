#include "ui/qt/wizard_window.h"

#include <stdexcept>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFocusFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/qt/busy_indicator.h"

namespace regwiz::ui::qt {
namespace {

using wizard::Control;
using wizard::RegWizardDesign;
namespace colour = wizard::colour;

// Lets the windows deleted "later" go now.
void DeleteLaterNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class WizardWindowTest : public ::testing::Test {
protected:
    WizardWindowTest() { form.SetVisible(true); }
    ~WizardWindowTest() override
    {
        view.reset();
        DeleteLaterNow();
    }

    template <typename W> W* Find(const std::string& name)
    {
        auto* widget = qobject_cast<W*>(view->WidgetFor(name));
        if (widget == nullptr)
            throw std::runtime_error("no widget of that type for " + name);
        return widget;
    }

    bool Shown(const std::string& name) const
    {
        return view->WidgetFor(name)->isVisibleTo(view->Window());
    }

    void GoToPage(int page)
    {
        for (int n = 0; n < wizard::kPageCount; ++n)
            form.Page(n).SetVisible(n == page);
        QCoreApplication::processEvents(); // lets the page's layout settle
    }

    RegWizardDesign form;
    std::unique_ptr<QtFormView> view = std::make_unique<QtFormView>(form);
};

// The widgets the member reaches with Tab from `first`, in order.
std::vector<std::string> TabStops(QWidget* window, QWidget* first, std::size_t count)
{
    std::vector<std::string> names;
    QWidget* widget = first;
    for (int guard = 0; names.size() < count && guard < 1000; ++guard) {
        const bool stop = (widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window)
                          && widget->isEnabled();
        if (stop)
            names.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    }
    return names;
}

// --- The model drives the widgets -----------------------------------------

TEST_F(WizardWindowTest, EveryControlHasAWidgetNamedAfterIt)
{
    for (const auto& control : form.Controls()) {
        QWidget* widget = view->WidgetFor(control->Name());
        ASSERT_NE(widget, nullptr) << control->Name();
        EXPECT_EQ(widget->objectName().toStdString(), control->Name());
        // Pictures only decorate: screen readers pass them by, unnamed.
        EXPECT_EQ(widget->accessibleName().isEmpty(), control->Decorative()) << control->Name();
    }
    EXPECT_EQ(view->WidgetFor("fraSteps(3)")->parentWidget(), view->Window()->Pages());
    EXPECT_EQ(view->WidgetFor("txtCity")->parentWidget(), view->WidgetFor("fraSteps(2)"));
    EXPECT_EQ(view->WidgetFor("nosuchcontrol"), nullptr);
}

// A page's widgets are made when it is first shown, from what the model
// holds then, and take their place in the focus chain before the buttons.
TEST_F(WizardWindowTest, APageShownLateComesWithTheModelsValues)
{
    EXPECT_EQ(view->Window()->findChild<QWidget*>("txtCity"), nullptr) << "page 2 not shown yet";
    form.txtCity.SetText("Tempe");
    form.cboState.SetListIndex(4);
    form.lblCity.SetCaption("Town:");
    form.lblCity.SetForeColor(colour::Red);
    form.txtPassword1.SetMaxLength(8);
    form.txtPassword1.SetPasswordChar("*");
    form.cmdSelectAccessNumber.SetVisible(true);
    form.SetDefaultButton(&form.cmdSelectAccessNumber);

    GoToPage(2);
    auto* city = qobject_cast<QLineEdit*>(view->Window()->findChild<QWidget*>("txtCity"));
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(city->text(), "Tempe");
    EXPECT_EQ(city->accessibleName(), "Town");
    EXPECT_EQ(Find<QComboBox>("cboState")->currentText(), "AZ");
    auto* caption = Find<QLabel>("lblCity");
    EXPECT_EQ(caption->text(), "Town:");
    EXPECT_EQ(caption->buddy(), city);
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(TabStops(view->Window(), view->WidgetFor("txtEmailAddress"), 2),
              (std::vector<std::string>{"txtEmailAddress", "cmdNext"}));

    GoToPage(7);
    EXPECT_EQ(Find<QLineEdit>("txtPassword1")->maxLength(), 8);
    EXPECT_EQ(Find<QLineEdit>("txtPassword1")->echoMode(), QLineEdit::Password);
    GoToPage(10);
    EXPECT_TRUE(Find<QPushButton>("cmdSelectAccessNumber")->isDefault());
}

TEST_F(WizardWindowTest, FieldsAreNamedAfterTheLabelBesideThem)
{
    EXPECT_EQ(view->WidgetFor("txtFirstName")->accessibleName(), "First name");
    EXPECT_EQ(view->WidgetFor("txtAddress2")->accessibleName(), "Address line 2");
    EXPECT_EQ(view->WidgetFor("txtZipCode")->accessibleName(), "Zip code");
    EXPECT_EQ(view->WidgetFor("cboGender")->accessibleName(), "Gender");
    EXPECT_EQ(view->WidgetFor("cmdNext")->accessibleName(), "Next >");

    form.lblAccessNumbers.SetCaption("Numbers near you:");
    EXPECT_EQ(view->WidgetFor("lstAccessNumbers")->accessibleName(), "Numbers near you");
}

TEST_F(WizardWindowTest, FormPropertiesReachTheWindow)
{
    QWidget* window = view->Window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "quorvale Registration Wizard");
    form.SetCaption("Registration Wizard - Step 2 of 11");
    EXPECT_EQ(window->windowTitle(), "Registration Wizard - Step 2 of 11");

    form.SetMousePointer(11);
    EXPECT_TRUE(window->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
    form.SetMousePointer(0);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);

    form.Move(30, 40);
    EXPECT_EQ(window->pos(), QPoint(30, 40));

    form.SetVisible(false);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WizardWindowTest, OnlyWhatTheModelShowsIsVisible)
{
    EXPECT_TRUE(Shown("fraSteps(0)"));
    for (const char* hidden : {"fraSteps(1)", "fraSteps(11)", "fraError", "cmdBack"})
        EXPECT_FALSE(Shown(hidden)) << hidden;

    GoToPage(5);
    EXPECT_FALSE(Shown("fraSteps(0)"));
    EXPECT_TRUE(Shown("fraSteps(5)"));
    EXPECT_TRUE(Shown("cboPaymentType"));

    form.cmdBack.SetVisible(true);
    form.cmdBack.SetEnabled(true);
    EXPECT_TRUE(Shown("cmdBack"));
    EXPECT_TRUE(view->WidgetFor("cmdBack")->isEnabled());
    form.cmdNext.SetEnabled(false);
    EXPECT_FALSE(view->WidgetFor("cmdNext")->isEnabled());
}

TEST_F(WizardWindowTest, TheErrorPanelCoversThePage)
{
    GoToPage(4);
    form.fraError.SetVisible(true);
    QWidget* panel = view->WidgetFor("fraError");
    QWidget* atCentre = view->Window()->childAt(panel->geometry().center());
    ASSERT_NE(atCentre, nullptr);
    EXPECT_TRUE(atCentre == panel || panel->isAncestorOf(atCentre));
}

TEST_F(WizardWindowTest, CaptionsColoursAndStatesReachTheirWidgets)
{
    form.lblError.SetCaption("Line one\r\nLine two");
    EXPECT_EQ(Find<QLabel>("lblError")->text(), "Line one\nLine two");

    EXPECT_EQ(Find<QPushButton>("cmdNext")->text(), "&Next >");
    form.cmdNext.SetCaption("Agree");
    EXPECT_EQ(Find<QPushButton>("cmdNext")->text(), "Agree");

    auto* label = Find<QLabel>("lblFirstName");
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    form.lblFirstName.SetForeColor(colour::Red);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    form.chkTenDigit.SetValue(1);
    EXPECT_TRUE(Find<QCheckBox>("chkTenDigit")->isChecked());

    auto* busy = dynamic_cast<BusyIndicator*>(view->WidgetFor("amiPleaseWait"));
    ASSERT_NE(busy, nullptr);
    EXPECT_FALSE(busy->Running());
    form.amiPleaseWait.SetAnimationFile("findcomp.avi");
    EXPECT_TRUE(busy->Running());
    form.amiPleaseWait.SetAnimationFile("");
    EXPECT_FALSE(busy->Running());

    form.txtAgreement.SetText("Terms\r\nMore terms");
    auto* agreement = Find<QPlainTextEdit>("txtAgreement");
    EXPECT_EQ(agreement->toPlainText(), "Terms\nMore terms");
    EXPECT_TRUE(agreement->isReadOnly());
}

TEST_F(WizardWindowTest, ListsFollowTheirEntriesAndSelection)
{
    auto* states = Find<QComboBox>("cboState");
    EXPECT_EQ(states->count(), 59);
    EXPECT_EQ(states->itemText(0), "AK");
    EXPECT_FALSE(states->isEditable());

    auto* gender = Find<QComboBox>("cboGender");
    form.cboGender.AddItem("Female");
    form.cboGender.AddItem("Male");
    form.cboGender.SetListIndex(1);
    EXPECT_EQ(gender->count(), 2);
    EXPECT_EQ(gender->currentIndex(), 1);
    form.cboGender.Clear();
    EXPECT_EQ(gender->count(), 0);
    EXPECT_EQ(gender->currentIndex(), -1);

    int clicks = 0;
    form.lstDevices.OnClick([&] { ++clicks; });
    form.lstDevices.AddItem("Standard 56000 bps Modem");
    form.lstDevices.AddItem("Null Modem Cable");
    form.lstDevices.SetListIndex(1);
    EXPECT_EQ(Find<QListWidget>("lstDevices")->currentRow(), 1);
    EXPECT_EQ(clicks, 1) << "the widget echoing the choice must not choose again";
}

TEST_F(WizardWindowTest, TextBoxesFollowTextLimitAndMask)
{
    auto* password = Find<QLineEdit>("txtPassword1");
    form.txtPassword1.SetPasswordChar("*");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    form.txtPassword1.SetPasswordChar("");
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);

    form.txtPassword1.SetMaxLength(8);
    EXPECT_EQ(password->maxLength(), 8);
    form.txtPassword1.SetMaxLength(0);
    EXPECT_EQ(password->maxLength(), 32767);

    form.txtCity.SetText("Tempe");
    EXPECT_EQ(Find<QLineEdit>("txtCity")->text(), "Tempe");
}

TEST_F(WizardWindowTest, FocusFollowsTheModel)
{
    GoToPage(2);
    form.SetFocus(form.txtFirstName);
    EXPECT_EQ(view->Window()->focusWidget(), view->WidgetFor("txtFirstName"));
    form.SetFocus(form.cboState);
    EXPECT_EQ(view->Window()->focusWidget(), view->WidgetFor("cboState"));
}

TEST_F(WizardWindowTest, TabGoesDownThePageThenAlongTheButtons)
{
    GoToPage(2);
    const std::vector<std::string> expected = {
        "txtFirstName",    "txtLastName", "txtAddress1", "txtAddress2", "txtCity",
        "cboState",        "txtZipCode",  "cboAge",      "cboGender",   "txtPhoneNumber",
        "txtEmailAddress", "cmdNext",     "cmdCancel",   "cmdHelp"};
    EXPECT_EQ(TabStops(view->Window(), view->WidgetFor("txtFirstName"), expected.size()), expected);
}

// --- The member's input reaches the model ---------------------------------

TEST_F(WizardWindowTest, ButtonClicksReachTheirHandlersWhileEnabled)
{
    int clicks = 0;
    form.cmdNext.OnClick([&] { ++clicks; });
    QTest::mouseClick(Find<QPushButton>("cmdNext"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    form.cmdNext.SetEnabled(false);
    QTest::mouseClick(Find<QPushButton>("cmdNext"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WizardWindowTest, TypingReachesTheModelWithinTheLimit)
{
    GoToPage(2);
    form.txtFirstName.SetMaxLength(5);
    auto* edit = Find<QLineEdit>("txtFirstName");
    QTest::keyClicks(edit, "Alexandra");
    EXPECT_EQ(form.txtFirstName.Text(), "Alexa");
    EXPECT_EQ(edit->text(), "Alexa");

    QTest::keyClicks(Find<QLineEdit>("txtCity"), "Flagstaff");
    EXPECT_EQ(form.txtCity.Text(), "Flagstaff");
}

TEST_F(WizardWindowTest, ChoosingAListEntryRaisesTheListsClick)
{
    GoToPage(2);
    int clicks = 0;
    form.cboGender.OnClick([&] { ++clicks; });
    form.cboGender.AddItem("Female");
    form.cboGender.AddItem("Male");
    QTest::keyClick(Find<QComboBox>("cboGender"), Qt::Key_Down);
    EXPECT_EQ(form.cboGender.ListIndex(), 0);
    QTest::keyClick(Find<QComboBox>("cboGender"), Qt::Key_Down);
    EXPECT_EQ(form.cboGender.Text(), "Male");
    EXPECT_EQ(clicks, 2);

    GoToPage(6);
    int deviceClicks = 0;
    form.lstDevices.OnClick([&] { ++deviceClicks; });
    form.lstDevices.AddItem("Standard 56000 bps Modem");
    form.lstDevices.AddItem("Null Modem Cable");
    auto* list = Find<QListWidget>("lstDevices");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(form.lstDevices.ListIndex(), 1);
    EXPECT_EQ(deviceClicks, 1);
}

TEST_F(WizardWindowTest, CheckingABoxSetsItsValueAndRaisesItsClick)
{
    GoToPage(10);
    int clicks = 0;
    form.chkTenDigit.OnClick([&] { ++clicks; });
    Find<QCheckBox>("chkTenDigit")->click();
    EXPECT_EQ(form.chkTenDigit.Value(), 1);
    Find<QCheckBox>("chkTenDigit")->click();
    EXPECT_EQ(form.chkTenDigit.Value(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(WizardWindowTest, ClosingTheWindowPressesCancelWhenItCanBePressed)
{
    int cancels = 0;
    form.cmdCancel.OnClick([&] { ++cancels; });
    view->Window()->close();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(view->Window()->isVisible()) << "what Cancel does is the wizard's business";

    form.cmdCancel.SetEnabled(false);
    view->Window()->close();
    EXPECT_EQ(cancels, 1);
}

// --- Lifetime ---------------------------------------------------------------

TEST_F(WizardWindowTest, TheViewMayGoFromInsideItsOwnClick)
{
    QPointer<QWidget> window = view->Window();
    form.cmdCancel.OnClick([&] { view.reset(); });
    QTest::mouseClick(Find<QPushButton>("cmdCancel"), Qt::LeftButton);
    ASSERT_EQ(view, nullptr);
    ASSERT_FALSE(window.isNull()) << "deleted later, not under the running click";
    EXPECT_FALSE(window->isVisible());

    // The model lives on a little and keeps changing; nobody listens now.
    form.SetCaption("Gone");
    form.lblWelcome.SetCaption("Gone");
    form.cboState.SetListIndex(3);
    form.SetVisible(false);
    DeleteLaterNow();
    EXPECT_TRUE(window.isNull());
}

TEST_F(WizardWindowTest, TheViewMayGoWhileTheWindowCloses)
{
    QPointer<QWidget> window = view->Window();
    form.cmdCancel.OnClick([&] { view.reset(); });
    window->close();
    ASSERT_EQ(view, nullptr);
    DeleteLaterNow();
    EXPECT_TRUE(window.isNull());
}

// --- Layout -----------------------------------------------------------------

// Texts and entries as the running wizard fills them in: the longest the
// pages have to hold.
void FillLikeTheRunningWizard(RegWizardDesign& form)
{
    std::string agreement;
    for (int i = 1; i <= 12; ++i)
        agreement += std::to_string(i)
                     + ". The member agrees to use quorvale Online lawfully "
                       "and to keep the account password private.\r\n\r\n";
    form.txtAgreement.SetText(agreement);
    for (const char* item : {"Under 18", "18-24", "25-34", "35-49", "50 or over"})
        form.cboAge.AddItem(item);
    for (const char* item : {"Standard 56000 bps V.90 Modem", "Null Modem Cable"})
        form.lstDevices.AddItem(item);
    for (const char* item : {"(602) 555-0199  Phoenix", "(480) 555-0117  Tempe"})
        form.lstAccessNumbers.AddItem(item);
    form.lblAccessNumber.SetCaption(
        "The access number closest to you is (602) 555-0199 in Phoenix, AZ. If this is a "
        "long-distance call for you, select a different access number below.");
    form.lblConfigureStep.SetCaption("Step2: Connecting to quorvale");
    form.amiPleaseWait.SetAnimationFile("findcomp.avi");
    form.lblError.SetCaption("The registration server could not be reached.\r\n\r\nCheck that "
                             "your modem is connected to a phone line, then click Next to try "
                             "again, or call 1-800-555-0142 for help.");
    // Page 10 with the access-number choice open: everything on it shown.
    for (Control* hidden : {&form.lstAccessNumbers, &form.lblAccessNumbers, &form.lblAccessState,
                            &form.cboAccessState, &form.lblAccessCity, &form.cmdSelectAccessNumber,
                            &form.cboAccessCity})
        hidden->SetVisible(true);
    form.cmdBack.SetVisible(true);
}

// A widget is cut off when it is given less room than its text needs.
bool CutOff(const QWidget& widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->wordWrap())
            return widget.height() < label->heightForWidth(widget.width());
        return widget.width() < widget.sizeHint().width();
    }
    if (qobject_cast<const QAbstractButton*>(&widget))
        return widget.width() < widget.sizeHint().width();
    return widget.height() < widget.minimumSizeHint().height();
}

void ExpectTidy(const QWidget& panel)
{
    std::vector<const QWidget*> shown;
    for (const QWidget* child : panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisibleTo(&panel) && qobject_cast<const QFocusFrame*>(child) == nullptr)
            shown.push_back(child);
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QWidget& widget = *shown[i];
        const std::string name = widget.objectName().toStdString();
        EXPECT_TRUE(panel.rect().contains(widget.geometry())) << name << " leaves its page";
        EXPECT_FALSE(CutOff(widget)) << name << " is cut off";
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(widget.geometry().intersects(shown[j]->geometry()))
                << name << " overlaps " << shown[j]->objectName().toStdString();
    }
}

TEST_F(WizardWindowTest, EveryPageHoldsItsTextsWithoutCuttingOrOverlapping)
{
    FillLikeTheRunningWizard(form);
    for (int page = 0; page < wizard::kPageCount; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        GoToPage(page);
        ExpectTidy(*view->WidgetFor(form.Page(page).Name()));
    }
    form.fraError.SetVisible(true);
    QCoreApplication::processEvents();
    ExpectTidy(*view->WidgetFor("fraError"));
    // The agreement page's captions are the longest the buttons carry.
    form.cmdNext.SetCaption("Agree");
    form.cmdCancel.SetCaption("Do Not Agree");
    ExpectTidy(*view->WidgetFor("fraButtonBackground"));
}

// Pictures of the pages for a person to look over; REGWIZ_SHOTS names the
// folder they go to.
TEST_F(WizardWindowTest, PicturesOfEveryPage)
{
    const QString folder = qEnvironmentVariable("REGWIZ_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "REGWIZ_SHOTS is not set";
    ASSERT_TRUE(QDir().mkpath(folder));
    FillLikeTheRunningWizard(form);
    for (int page = 0; page < wizard::kPageCount; ++page) {
        GoToPage(page);
        const QString file =
            QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page, 2, 10, QChar('0')));
        EXPECT_TRUE(view->Window()->grab().save(file)) << file.toStdString();
    }
    form.fraError.SetVisible(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->Window()->grab().save(QDir(folder).filePath("error.png")));
}

} // namespace
} // namespace regwiz::ui::qt
