// Plays the member's actions through the real Qt widgets.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <deque>

#include "regwizard-run/driver.h"
#include "ui/qt/qt_message_boxes.h"
#include "ui/qt/wizard_window.h"

namespace regwiz::runner {
namespace {

QMessageBox::StandardButton ButtonFor(platform::Answer answer)
{
    switch (answer) {
    case platform::Answer::Ok:
        return QMessageBox::Ok;
    case platform::Answer::Cancel:
        return QMessageBox::Cancel;
    case platform::Answer::Abort:
        return QMessageBox::Abort;
    case platform::Answer::Retry:
        return QMessageBox::Retry;
    case platform::Answer::Ignore:
        return QMessageBox::Ignore;
    case platform::Answer::Yes:
        return QMessageBox::Yes;
    case platform::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

class WidgetDriver final : public Driver {
public:
    WidgetDriver()
    {
        boxes_.onShown = [this](QMessageBox& box) { Answer(box); };
    }

    platform::MessageBoxes& Boxes() override { return boxes_; }
    void QueueAnswer(platform::Answer answer) override { answers_.push_back(answer); }
    std::vector<ShownBox> Shown() const override
    {
        std::vector<ShownBox> shown;
        for (const auto& box : boxes_.History())
            shown.push_back({box.text, box.title, box.style});
        return shown;
    }

    wizard::FormViewFactory ViewFactory() override
    {
        return [this](wizard::RegWizardDesign& form) {
            auto view = std::make_unique<ui::qt::QtFormView>(form);
            view_ = view.get();
            return std::unique_ptr<wizard::FormView>(std::move(view));
        };
    }

    void Click(wizard::Control& control) override
    {
        if (auto* button = qobject_cast<QAbstractButton*>(Widget(control)))
            button->click();
        else
            Select(control, control.ListIndex());
    }

    void Type(wizard::Control& control, const std::string& text) override
    {
        auto* edit = qobject_cast<QLineEdit*>(Widget(control));
        if (edit == nullptr)
            return control.Type(text);
        edit->selectAll();
        edit->insert(QString::fromStdString(text)); // as typing: the limit applies
    }

    void Select(wizard::Control& control, int index) override
    {
        QWidget* widget = Widget(control);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            combo->setCurrentIndex(index);
            Q_EMIT combo->activated(index);
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            list->setCurrentRow(index);
        }
        ChoseInWindow(control, index);
    }

    bool Visible(wizard::Control& control) override { return !Widget(control)->isHidden(); }
    bool Enabled(wizard::Control& control) override
    {
        return !Widget(control)->testAttribute(Qt::WA_ForceDisabled);
    }
    bool WindowShown(wizard::FormModel&) override
    {
        return view_ != nullptr && view_->Window() != nullptr && view_->Window()->isVisible();
    }

    void Settle() override { QCoreApplication::processEvents(); }

    bool Shot(const std::filesystem::path& file) override
    {
        Settle();
        if (view_ == nullptr || view_->Window() == nullptr)
            return false;
        return view_->Window()->grab().save(QString::fromStdString(file.string()), "PNG");
    }

private:
    QWidget* Widget(wizard::Control& control)
    {
        QWidget* widget = view_ != nullptr ? view_->WidgetFor(control.Name()) : nullptr;
        if (widget == nullptr)
            throw std::runtime_error("no widget shows " + control.Name());
        return widget;
    }

    // Presses the queued answer's button, else the box's default one.
    void Answer(QMessageBox& box)
    {
        QAbstractButton* button = box.defaultButton();
        if (!answers_.empty()) {
            if (QAbstractButton* queued = box.button(ButtonFor(answers_.front())))
                button = queued;
            answers_.pop_front();
        }
        if (button == nullptr && !box.buttons().isEmpty())
            button = box.buttons().front();
        if (button != nullptr)
            button->click();
    }

    ui::qt::QtMessageBoxes boxes_;
    std::deque<platform::Answer> answers_;
    ui::qt::QtFormView* view_ = nullptr;
};

} // namespace

std::unique_ptr<Driver> MakeWidgetDriver()
{
    return std::make_unique<WidgetDriver>();
}

} // namespace regwiz::runner
