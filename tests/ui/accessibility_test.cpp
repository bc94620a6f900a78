// The Qt window as a keyboard and a screen reader meet it: its accessible
// interfaces on every page, the keys that press its buttons, and a size that
// stays on the screen.
#include <set>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/layout/control_roles.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/wizard_window.h"

namespace regwiz::ui::qt {
namespace {

using wizard::Control;
using wizard::ControlKind;

class AccessibleWindowTest : public ::testing::Test {
protected:
    AccessibleWindowTest()
    {
        QAccessible::setActive(true);
        form.SetVisible(true);
        for (Control* button : {&form.cmdBack, &form.cmdNext, &form.cmdCancel, &form.cmdHelp})
            button->OnClick([this, button] { pressed.push_back(button->Name()); });
        QApplication::setActiveWindow(view->Window());
        QCoreApplication::processEvents();
    }
    ~AccessibleWindowTest() override
    {
        view.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void GoToPage(int page)
    {
        for (int n = 0; n < wizard::kPageCount; ++n)
            form.Page(n).SetVisible(n == page);
        QCoreApplication::processEvents();
    }

    QWidget* Widget(const Control& control) const { return view->WidgetFor(control.Name()); }

    static QAccessibleInterface* Interface(QWidget* widget)
    {
        QAccessibleInterface* found = QAccessible::queryAccessibleInterface(widget);
        if (found == nullptr)
            throw std::runtime_error("no accessible interface");
        return found;
    }

    // The controls of `page` the member reaches with Tab, as the window shows them.
    std::vector<const Control*> Reachable(int page)
    {
        std::vector<const Control*> found;
        for (const auto& control : form.Controls()) {
            QWidget* widget = Widget(*control);
            if (control->Container() == &form.Page(page) && TakesFocus(control->Kind())
                && widget->isVisibleTo(view->Window()))
                found.push_back(control.get());
        }
        return found;
    }

    // Sends `key` to whatever has the focus, as the keyboard would.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target =
            QApplication::focusWidget() ? QApplication::focusWidget() : view->Window();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        QCoreApplication::processEvents();
    }

    wizard::RegWizardDesign form;
    std::unique_ptr<QtFormView> view = std::make_unique<QtFormView>(form);
    std::vector<std::string> pressed;
};

TEST_F(AccessibleWindowTest, EveryPageNamesItsControlsOnceAndLinksThemToTheirLabels)
{
    form.cboPaymentType.AddItem("VISA");
    form.cboPaymentType.SetListIndex(0);
    for (Control* shown : {&form.lblCreditCardNumber, &form.txtCCNumber, &form.cboCCMonth,
                           &form.cboCCYear, &form.txtCCName, &form.lstAccessNumbers,
                           &form.cboAccessState, &form.cboAccessCity, &form.cmdSelectAccessNumber})
        shown->SetVisible(true);
    for (int page = 0; page < wizard::kPageCount; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        GoToPage(page);
        std::set<QString> names;
        for (const Control* control : Reachable(page)) {
            QAccessibleInterface* field = Interface(Widget(*control));
            const QString name = field->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << control->Name();
            EXPECT_TRUE(names.insert(name).second) << name.toStdString() << " twice";
            // Qt's item views carry no label relation; their name is enough.
            if (control->Label() == nullptr || control->Kind() == ControlKind::ListBox)
                continue;
            const auto labels = field->relations(QAccessible::Label);
            ASSERT_FALSE(labels.isEmpty()) << control->Name() << " has no label";
            EXPECT_EQ(labels.front().first->text(QAccessible::Name),
                      QString::fromStdString(control->Label()->AccessibleName()))
                << control->Name();
        }
    }
}

TEST_F(AccessibleWindowTest, AChoiceNeverRenamesItsList)
{
    QAccessibleInterface* state = Interface(Widget(form.cboState));
    form.cboState.SetListIndex(4);
    EXPECT_EQ(state->text(QAccessible::Name), "State");
    EXPECT_EQ(state->text(QAccessible::Value), "AZ");
    auto* combo = static_cast<QComboBox*>(Widget(form.cboState));
    combo->setCurrentIndex(7);
    EXPECT_EQ(state->text(QAccessible::Name), "State");
}

TEST_F(AccessibleWindowTest, TheWindowIsADialogThatCanBeBusyAndPicturesAreHidden)
{
    QAccessibleInterface* window = Interface(view->Window());
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_FALSE(window->state().busy);
    form.SetMousePointer(11);
    EXPECT_TRUE(window->state().busy) << "the wizard waits";
    form.SetMousePointer(0);
    EXPECT_FALSE(window->state().busy);

    QAccessibleInterface* picture = Interface(Widget(form.imgStep2));
    EXPECT_TRUE(picture->state().invisible);
    EXPECT_TRUE(picture->text(QAccessible::Name).isEmpty());

    QAccessibleInterface* status = Interface(Widget(form.lblConfigureStep));
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    form.lblConfigureStep.SetCaption("Connecting to quorvale");
    EXPECT_EQ(status->text(QAccessible::Name), "Connecting to quorvale");
}

TEST_F(AccessibleWindowTest, AMissingFieldSaysSoAndItsCaptionTurnsBold)
{
    GoToPage(2);
    QAccessibleInterface* field = Interface(Widget(form.txtCity));
    auto* caption = static_cast<QLabel*>(Widget(form.lblCity));
    EXPECT_TRUE(field->text(QAccessible::Description).isEmpty());
    EXPECT_FALSE(caption->font().bold());

    form.lblCity.SetForeColor(wizard::colour::Red);
    form.lblCity.SetMissing(true);
    form.txtCity.SetMissing(true);
    EXPECT_FALSE(field->text(QAccessible::Description).isEmpty());
    EXPECT_TRUE(caption->font().bold()) << "not colour alone";
    EXPECT_EQ(field->text(QAccessible::Name), "City") << "the name stays";

    form.lblCity.SetMissing(false);
    form.txtCity.SetMissing(false);
    EXPECT_TRUE(field->text(QAccessible::Description).isEmpty());
    EXPECT_FALSE(caption->font().bold());
}

TEST_F(AccessibleWindowTest, EnterPressesTheDefaultButtonAndAFocusedButtonItself)
{
    GoToPage(2);
    form.SetFocus(form.txtFirstName);
    Press(Qt::Key_Return);
    EXPECT_EQ(pressed, std::vector<std::string>{"cmdNext"});
    EXPECT_TRUE(Interface(Widget(form.cmdNext))->state().defaultButton);

    form.cmdBack.SetVisible(true);
    form.cmdBack.SetEnabled(true);
    form.SetFocus(form.cmdBack);
    Press(Qt::Key_Return);
    EXPECT_EQ(pressed.back(), "cmdBack");

    // The last page: Done is the way out.
    form.cmdNext.SetVisible(false);
    form.cmdCancel.SetCaption("Done");
    form.SetDefaultButton(&form.cmdCancel);
    form.SetFocus(form.cmdCancel);
    Press(Qt::Key_Enter);
    EXPECT_EQ(pressed.back(), "cmdCancel");
    EXPECT_TRUE(Interface(Widget(form.cmdCancel))->state().defaultButton);
    EXPECT_FALSE(Interface(Widget(form.cmdNext))->state().defaultButton);
}

TEST_F(AccessibleWindowTest, EscapeIsCancelAndF1IsHelp)
{
    GoToPage(2);
    form.SetFocus(form.txtCity);
    Press(Qt::Key_Escape);
    Press(Qt::Key_F1);
    EXPECT_EQ(pressed, (std::vector<std::string>{"cmdCancel", "cmdHelp"}));

    form.cmdCancel.SetEnabled(false);
    form.cmdHelp.SetVisible(false);
    Press(Qt::Key_Escape);
    Press(Qt::Key_F1);
    EXPECT_EQ(pressed.size(), 2u) << "a button that cannot be pressed is not pressed by key";
}

TEST_F(AccessibleWindowTest, AltAAgreesAlthoughTheCaptionShowsNoKey)
{
    GoToPage(1);
    form.cmdNext.SetCaption("Agree");
    form.cmdCancel.SetCaption("Do Not Agree");
    form.SetFocus(form.cmdCancel);
    // A shortcut presses its button the way a click looks: after a moment.
    Press(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pressed.empty(); }));
    EXPECT_EQ(pressed, std::vector<std::string>{"cmdNext"});
    EXPECT_EQ(static_cast<QPushButton*>(Widget(form.cmdNext))->text(), "Agree");

    form.cmdNext.SetCaption("&Next >");
    Press(Qt::Key_A, Qt::AltModifier);
    Press(Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pressed.size() > 1; }));
    EXPECT_EQ(pressed, (std::vector<std::string>{"cmdNext", "cmdNext"}))
        << "Alt+A belongs to Agree only; Next has its own key";
}

TEST_F(AccessibleWindowTest, TheResultOnTheLastPageIsReachedByKeyboard)
{
    GoToPage(11);
    for (Control* gone : {&form.cmdBack, &form.cmdNext, &form.cmdHelp})
        gone->SetVisible(false);
    form.lblConfigSystem.SetCaption("Congratulations:\r\n\r\nYour account has been processed.");
    form.cmdCancel.SetCaption("Done");
    form.SetFocus(form.cmdCancel);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Widget(form.lblConfigSystem));
    EXPECT_TRUE(Interface(Widget(form.lblConfigSystem))
                    ->text(QAccessible::Name)
                    .startsWith("Congratulations:"));
}

TEST_F(AccessibleWindowTest, AFocusRingShowsAroundTheFieldOnTheBluePage)
{
    GoToPage(2);
    form.SetFocus(form.txtCity);
    QCoreApplication::processEvents();
    const auto rings = view->Window()->findChildren<FocusRing*>();
    ASSERT_EQ(rings.size(), 1);
    const FocusRing& ring = *rings.front();
    QWidget* city = Widget(form.txtCity);
    EXPECT_TRUE(ring.isVisible());
    EXPECT_EQ(ring.widget(), city);
    EXPECT_TRUE(ring.geometry().contains(city->geometry())) << "drawn outside the field";
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(city->parentWidget())
            ->indexOfChild(QAccessible::queryAccessibleInterface(const_cast<FocusRing*>(&ring))),
        -1)
        << "screen readers never meet it";

    form.cmdNext.SetVisible(true);
    form.SetFocus(form.cmdNext);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ring.isVisible()) << "the button bar keeps the style's own focus frame";
}

TEST_F(AccessibleWindowTest, TheModelsFocusReachesTheField)
{
    GoToPage(2);
    form.SetFocus(form.txtZipCode);
    EXPECT_EQ(QApplication::focusWidget(), Widget(form.txtZipCode));
}

// Run again by CTest at QT_SCALE_FACTOR=2 on a 1366x768 screen, and with a
// 144-dpi font.
TEST_F(AccessibleWindowTest, TheWholeWindowStaysOnTheScreen)
{
    form.Move(353, 154); // where start-up centres the design's size on 1366x768
    QWidget* window = view->Window();
    QCoreApplication::processEvents();
    const QRect room = window->screen()->availableGeometry();
    for (int page = 0; page < wizard::kPageCount; ++page) {
        GoToPage(page);
        EXPECT_TRUE(room.contains(window->frameGeometry()))
            << "page " << page << ": window at " << window->frameGeometry().x() << ","
            << window->frameGeometry().y() << " size " << window->width() << "x" << window->height()
            << " on " << room.width() << "x" << room.height();
        QWidget* next = Widget(form.cmdNext);
        const QRect nextOnScreen(next->mapToGlobal(QPoint(0, 0)), next->size());
        EXPECT_TRUE(room.contains(nextOnScreen)) << "page " << page;
    }
}

TEST_F(AccessibleWindowTest, PicturesAreDrawnForTheScreensPixelRatio)
{
    auto* picture = dynamic_cast<Picture*>(Widget(form.ImgWelcome));
    ASSERT_NE(picture, nullptr);
    const QImage drawn = picture->grab().toImage();
    EXPECT_EQ(picture->DrawnRatio(), picture->devicePixelRatioF());

    // A page left keeps no picture; it is drawn again, the same, when the page is back.
    GoToPage(1);
    EXPECT_EQ(picture->DrawnRatio(), 0);
    GoToPage(0);
    EXPECT_EQ(picture->grab().toImage(), drawn);
    EXPECT_EQ(picture->DrawnRatio(), picture->devicePixelRatioF());
}

} // namespace
} // namespace regwiz::ui::qt
