#include "ui/qt/qt_message_boxes.h"

#include <vector>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

namespace regwiz::ui::qt {
namespace {

using platform::Answer;

struct ButtonChoice {
    QMessageBox::StandardButton button;
    Answer answer;
};

// The buttons of a style, left to right as the member reads them.
std::vector<ButtonChoice> ButtonsOf(int style)
{
    using B = QMessageBox;
    switch (style & 0x0F) {
    case platform::mb::OkCancel:
        return {{B::Ok, Answer::Ok}, {B::Cancel, Answer::Cancel}};
    case platform::mb::AbortRetryIgnore:
        return {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}, {B::Ignore, Answer::Ignore}};
    case platform::mb::YesNoCancel:
        return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
    case platform::mb::YesNo:
        return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
    case platform::mb::RetryCancel:
        return {{B::Retry, Answer::Retry}, {B::Cancel, Answer::Cancel}};
    default:
        return {{B::Ok, Answer::Ok}};
    }
}

QMessageBox::Icon IconOf(int style)
{
    switch (style & 0xF0) {
    case platform::mb::Critical:
        return QMessageBox::Critical;
    case platform::mb::Question:
        return QMessageBox::Question;
    case platform::mb::Exclamation:
        return QMessageBox::Warning;
    case platform::mb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The default-button bits count buttons from the first; one past the last
// means the last, as DefaultAnswer reads them.
std::size_t DefaultIndexOf(int style, std::size_t buttonCount)
{
    const auto index = static_cast<std::size_t>((style & 0x300) >> 8);
    if (index > 2)
        return 0;
    return std::min(index, buttonCount - 1);
}

// Box texts come with CR LF line ends.
QString BoxText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

} // namespace

Answer QtMessageBoxes::Show(const std::string& text, const std::string& title, int style)
{
    shown_.push_back({text, title, style});
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(BoxText(text));
    box.setIcon(IconOf(style));
    const std::vector<ButtonChoice> buttons = ButtonsOf(style);
    for (const ButtonChoice& choice : buttons)
        box.addButton(choice.button);
    box.setDefaultButton(buttons[DefaultIndexOf(style, buttons.size())].button);
    if (onShown) {
        const std::function<void(QMessageBox&)> hook = onShown;
        QTimer::singleShot(0, &box, [hook, &box] { hook(box); });
    }
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const ButtonChoice& choice : buttons) {
        if (choice.button == pressed)
            return choice.answer;
    }
    // Closed without a button (Escape where no button cancels): the default.
    return platform::DefaultAnswer(style);
}

} // namespace regwiz::ui::qt
