#include "ui/qt/qt_message_boxes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace regwiz::ui::qt {
namespace {

using platform::Answer;
using Button = QMessageBox::StandardButton;

struct StyleCase {
    int style;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
    Button defaultButton;
};

// What a box of each style the wizard uses looks like.
const StyleCase kStyles[] = {
    {0, Button::Ok, QMessageBox::NoIcon, Button::Ok},
    {16, Button::Ok, QMessageBox::Critical, Button::Ok},
    {36, Button::Yes | Button::No, QMessageBox::Question, Button::Yes},
    {48, Button::Ok, QMessageBox::Warning, Button::Ok},
    {49, Button::Ok | Button::Cancel, QMessageBox::Warning, Button::Ok},
    {69, Button::Retry | Button::Cancel, QMessageBox::Information, Button::Retry},
    {276, Button::Yes | Button::No, QMessageBox::Critical, Button::No},
};

class MessageBoxTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(MessageBoxTest, ShowsTheStylesButtonsIconAndDefault)
{
    const StyleCase& expected = GetParam();
    QtMessageBoxes boxes;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Button defaultButton = Button::NoButton;
    boxes.onShown = [&](QMessageBox& box) {
        buttons = box.standardButtons();
        icon = box.icon();
        defaultButton = box.standardButton(box.defaultButton());
        box.defaultButton()->click();
    };
    const Answer answer = boxes.Show("Are you sure?", "RegWizard", expected.style);
    EXPECT_EQ(buttons, expected.buttons);
    EXPECT_EQ(icon, expected.icon);
    EXPECT_EQ(defaultButton, expected.defaultButton);
    EXPECT_EQ(answer, platform::DefaultAnswer(expected.style));
}

INSTANTIATE_TEST_SUITE_P(WizardStyles, MessageBoxTest, ::testing::ValuesIn(kStyles),
                         [](const auto& style) {
                             return "Style" + std::to_string(style.param.style);
                         });

TEST(QtMessageBoxes, AnswersWithTheButtonPressedAndKeepsARecord)
{
    QtMessageBoxes boxes;
    QString shownText;
    boxes.onShown = [&](QMessageBox& box) {
        shownText = box.text();
        box.button(Button::Cancel)->click();
    };
    EXPECT_EQ(boxes.Show("Leave the wizard?\r\nYour answers are lost.", "Cancel", 3),
              Answer::Cancel);
    EXPECT_EQ(shownText, "Leave the wizard?\nYour answers are lost.");

    boxes.onShown = [](QMessageBox& box) { box.button(Button::Ignore)->click(); };
    EXPECT_EQ(boxes.Show("Modem busy", "RegWizard", 2), Answer::Ignore);

    ASSERT_EQ(boxes.History().size(), 2u);
    EXPECT_EQ(boxes.History()[0].text, "Leave the wizard?\r\nYour answers are lost.");
    EXPECT_EQ(boxes.History()[0].title, "Cancel");
    EXPECT_EQ(boxes.History()[1].style, 2);
}

} // namespace
} // namespace regwiz::ui::qt
