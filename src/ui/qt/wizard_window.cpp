#include "ui/qt/wizard_window.h"

#include <array>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtDebug>

#include "ui/layout/control_roles.h"
#include "ui/qt/artwork.h"
#include "ui/qt/busy_indicator.h"

namespace regwiz::ui::qt {
namespace {

using wizard::Control;
using wizard::ControlKind;
using wizard::FormModel;
using wizard::Property;

constexpr int kMargin = 14;
constexpr int kPictureWidth = 150;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;
constexpr int kLabelColumnMax = 220;
constexpr int kHourglass = 11;
constexpr int kNoInputLimit = 32767; // QLineEdit's own "no limit"

// Marks the view as copying the model into its widgets for as long as it lives.
class Updating {
public:
    explicit Updating(int& depth) : depth_(depth) { ++depth_; }
    ~Updating() { --depth_; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

private:
    int& depth_;
};

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

// The form's texts end lines with CR LF; Qt breaks lines on LF alone.
QString DisplayText(const std::string& text)
{
    QString shown = ToQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QColor ToColour(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

void SetTextColour(QWidget& widget, QColor colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

void SetBackground(QWidget& widget, QColor colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QRect ButtonSlot(std::size_t index) // 0 Back, 1 Next, 2 Cancel, 3 Help
{
    const int help = WizardWindow::kWidth - kMargin - kButtonWidth;
    const std::array<int, 4> left = {help - 3 * kButtonWidth - 2 * kButtonGap,
                                     help - 2 * kButtonWidth - 2 * kButtonGap,
                                     help - kButtonWidth - kButtonGap, help};
    return {left[index], (WizardWindow::kButtonBarHeight - kButtonHeight) / 2, kButtonWidth,
            kButtonHeight};
}

void Emphasise(const std::string& name, QWidget& label)
{
    const int emphasis = HeadingEmphasis(name);
    if (emphasis == 0)
        return;
    QFont font = label.font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + emphasis);
    label.setFont(font);
    label.setContentsMargins(0, 0, 0, 6); // a heading stands apart from the text below
}

QWidget* MakeLabel(const Control& control, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    Emphasise(control.Name(), *label);
    return label;
}

QWidget* MakeTextBox(const Control& control, QWidget* parent)
{
    if (control.MultiLine()) {
        auto* area = new QPlainTextEdit(parent);
        area->setReadOnly(control.Locked());
        return area;
    }
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(control.Locked());
    return edit;
}

QWidget* MakeListBox(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QWidget* MakeFrame(const Control& control, QWidget* parent, bool panel)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::NoFrame);
    if (panel) {
        SetBackground(*frame, ToColour(control.BackColor()));
        SetTextColour(*frame, ToColour(control.ForeColor()));
    }
    return frame;
}

// The two lines above the button bar make one etched edge: dark, then light.
QWidget* MakeLine(QWidget* parent, bool upper)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    SetTextColour(*line, upper ? QColor(128, 128, 128) : QColor(Qt::white));
    return line;
}

QString DefaultAccessibleName(const Control& control, int page)
{
    switch (control.Kind()) {
    case ControlKind::Image:
        return QStringLiteral("Picture");
    case ControlKind::Line:
        return QStringLiteral("Separator");
    case ControlKind::Animation:
        return QStringLiteral("Progress animation");
    default:
        return page >= 0 ? QStringLiteral("Page %1").arg(page) : ToQt(control.Name());
    }
}

void ShowForeColour(const Control& control, QWidget& widget)
{
    if (control.Kind() == ControlKind::Label)
        SetTextColour(widget, ToColour(control.ForeColor()));
}

void ShowValue(const Control& control, QWidget& widget)
{
    if (auto* box = qobject_cast<QCheckBox*>(&widget))
        box->setChecked(control.Value() == 1);
}

void ShowMaxLength(const Control& control, QWidget& widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(&widget))
        edit->setMaxLength(control.MaxLength() > 0 ? control.MaxLength() : kNoInputLimit);
}

void ShowPasswordChar(const Control& control, QWidget& widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(&widget))
        edit->setEchoMode(control.PasswordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
}

void ShowAnimation(const Control& control, QWidget& widget)
{
    if (auto* busy = dynamic_cast<BusyIndicator*>(&widget))
        busy->SetRunning(!control.AnimationFile().empty());
}

} // namespace

WizardWindow::WizardWindow()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kWidth, kHeight);
}

QRect WizardWindow::PageArea()
{
    return {0, 0, kWidth, kHeight - kButtonBarHeight - 2};
}

QRect WizardWindow::SeparatorLine(int index)
{
    return {0, PageArea().bottom() + 1 + index, kWidth, 1};
}

QRect WizardWindow::ButtonBar()
{
    return {0, kHeight - kButtonBarHeight, kWidth, kButtonBarHeight};
}

void WizardWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    // A copy: the request may end the wizard, and with it whoever set it.
    const std::function<void()> request = onCloseRequested;
    if (request)
        request();
}

QtFormView::QtFormView(wizard::RegWizardDesign& form) : form_(form), window_(new WizardWindow)
{
    window_->setObjectName(ToQt(form_.Name()));
    BuildWidgets();
    for (const auto& control : form_.Controls())
        ShowAll(*control);
    ObserveModel();
    for (auto property : {FormModel::FormProperty::Caption, FormModel::FormProperty::MousePointer,
                          FormModel::FormProperty::Visible})
        ShowForm(property);
    // Closing the window is the member's way of saying Cancel.
    window_->onCloseRequested = [this, alive = alive_] {
        if (*alive && form_.cmdCancel.UsableOnForm())
            Feed(this, alive, [this] { form_.cmdCancel.Click(); });
    };
}

QtFormView::~QtFormView()
{
    *alive_ = false;
    if (!window_)
        return;
    // The view may go from inside one of its widgets' signals: the window
    // must outlive that call, so it goes when the event loop gets back.
    window_->hide();
    window_->deleteLater();
}

QWidget* QtFormView::WidgetFor(const std::string& controlName) const
{
    const auto found = widgets_.find(controlName);
    return window_ && found != widgets_.end() ? found->second : nullptr;
}

QWidget* QtFormView::WidgetOf(const Control& control) const
{
    const auto found = byControl_.find(&control);
    return window_ && found != byControl_.end() ? found->second : nullptr;
}

void QtFormView::BuildWidgets()
{
    for (const auto& owned : form_.Controls()) {
        Control& control = *owned;
        QWidget* parent = control.Container() ? WidgetOf(*control.Container()) : window_.data();
        QWidget* widget = MakeWidget(control, parent);
        widget->setObjectName(ToQt(control.Name()));
        widget->setAccessibleName(DefaultAccessibleName(control, PageOf(form_, control)));
        if (control.Container() && KeepsStandardLook(control.Kind()))
            widget->setPalette(QApplication::palette(widget));
        widgets_[control.Name()] = widget;
        byControl_[&control] = widget;
        if (!control.Container())
            PlaceOnWindow(control, widget);
        ConnectInput(control, widget);
    }
    for (int page = 0; page < wizard::kPageCount; ++page)
        LayOutPanel(form_.Page(page), LayoutOfPage(page));
    LayOutPanel(form_.fraError, {});
    LayOutPanel(form_.fraTerminalError, {});
    // The error panels cover whatever page is up.
    WidgetOf(form_.fraError)->raise();
    WidgetOf(form_.fraTerminalError)->raise();
    const std::array<Control*, 4> buttons = {&form_.cmdBack, &form_.cmdNext, &form_.cmdCancel,
                                             &form_.cmdHelp};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        WidgetOf(*buttons[i])->setGeometry(ButtonSlot(i));
        tabOrder_.push_back(WidgetOf(*buttons[i]));
    }
    SetTabOrder();
}

QWidget* QtFormView::MakeWidget(Control& control, QWidget* parent)
{
    switch (control.Kind()) {
    case ControlKind::Label:
        return MakeLabel(control, parent);
    case ControlKind::TextBox:
        return MakeTextBox(control, parent);
    case ControlKind::ComboBox:
        return new QComboBox(parent);
    case ControlKind::ListBox:
        return MakeListBox(parent);
    case ControlKind::CheckBox:
        return new QCheckBox(parent);
    case ControlKind::CommandButton:
        return new QPushButton(parent);
    case ControlKind::Frame:
        return MakeFrame(control, parent, &control != &form_.fraButtonBackground);
    case ControlKind::Image:
        return MakePicture(control, parent);
    case ControlKind::Line:
        return MakeLine(parent, &control == &form_.LinTopLine);
    case ControlKind::Animation:
        return new BusyIndicator(parent);
    }
    return new QWidget(parent);
}

QWidget* QtFormView::MakePicture(const Control& image, QWidget* parent)
{
    const QSize tall(kPictureWidth, WizardWindow::PageArea().height() - 2 * kMargin);
    QPixmap picture = ConnectionPicture({200, 72});
    for (int page = 0; page < wizard::kPageCount; ++page) {
        const char* name = LayoutOfPage(page).picture;
        if (name != nullptr && image.Name() == name)
            picture = PagePicture(page, tall);
    }
    if (image.Container() == &form_.fraError || image.Container() == &form_.fraTerminalError)
        picture = ErrorPicture(tall);
    auto* label = new QLabel(parent);
    label->setPixmap(picture);
    label->setFixedSize(picture.size());
    return label;
}

void QtFormView::PlaceOnWindow(const Control& control, QWidget* widget)
{
    if (&control == &form_.fraButtonBackground)
        widget->setGeometry(WizardWindow::ButtonBar());
    else if (control.Kind() == ControlKind::Line)
        widget->setGeometry(WizardWindow::SeparatorLine(&control == &form_.LinTopLine ? 0 : 1));
    else
        widget->setGeometry(WizardWindow::PageArea());
}

void QtFormView::LayOutPanel(Control& panel, PageLayout design)
{
    const PageLayout layout = CompleteLayout(form_, panel, std::move(design));
    auto* outer = new QHBoxLayout(WidgetOf(panel));
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(16);
    if (QWidget* picture = layout.picture ? WidgetFor(layout.picture) : nullptr)
        outer->addWidget(picture, 0, Qt::AlignTop);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid, 1);
    lastLabel_ = nullptr;
    unnamedInputs_.clear();
    int index = 0;
    bool grows = false;
    for (const Row& row : layout.rows) {
        AddRow(*grid, index++, row);
        grows = grows || row.grows;
    }
    if (!grows)
        grid->setRowStretch(index, 1);
    grid->setColumnMinimumWidth(0, LabelColumnWidth(layout));
}

// Wide enough for the labels beside the fields on one line, unless one is so
// long that it had better wrap.
int QtFormView::LabelColumnWidth(const PageLayout& layout) const
{
    int width = 0;
    for (const Row& row : layout.rows) {
        const Control* label = row.label && *row.label ? form_.Find(row.label) : nullptr;
        if (const QWidget* widget = label ? WidgetFor(row.label) : nullptr) {
            const QString caption = DisplayText(label->Caption());
            width = std::max(width, widget->fontMetrics().horizontalAdvance(caption) + 2);
        }
    }
    return std::min(width, kLabelColumnMax);
}

void QtFormView::AddRow(QGridLayout& grid, int index, const Row& row)
{
    if (row.grows)
        grid.setRowStretch(index, 1);
    if (!row.label) {
        const Cell& cell = row.fields.front();
        if (QWidget* widget = Place(cell))
            grid.addWidget(widget, index, 0, 1, 2,
                           cell.width == kFill ? Qt::Alignment() : Qt::AlignLeft);
        return;
    }
    if (QWidget* label = *row.label ? Place({row.label, kNatural}) : nullptr)
        grid.addWidget(label, index, 0);
    auto* line = new QHBoxLayout;
    line->setSpacing(8);
    bool fills = false;
    for (const Cell& cell : row.fields) {
        if (QWidget* widget = Place(cell)) {
            line->addWidget(widget, cell.width == kFill ? 1 : 0);
            fills = fills || cell.width == kFill;
        }
    }
    if (!fills)
        line->addStretch(1);
    grid.addLayout(line, index, 1);
}

QWidget* QtFormView::Place(const Cell& cell)
{
    const Control* control = form_.Find(cell.name);
    QWidget* widget = control ? WidgetOf(*control) : nullptr;
    if (!widget)
        return nullptr;
    if (cell.width > 0)
        widget->setFixedWidth(cell.width);
    PairWithLabel(*control, widget);
    if (TakesFocus(control->Kind()))
        tabOrder_.push_back(widget);
    return widget;
}

// An input takes the name of the label placed before it, or of the next one
// when none came before on its panel.
void QtFormView::PairWithLabel(const Control& control, QWidget* widget)
{
    if (control.Kind() == ControlKind::Label) {
        lastLabel_ = &control;
        auto& inputs = buddies_[&control];
        inputs.insert(inputs.end(), unnamedInputs_.begin(), unnamedInputs_.end());
        unnamedInputs_.clear();
    } else if (IsInput(control.Kind())) {
        if (lastLabel_)
            buddies_[lastLabel_].push_back(widget);
        else
            unnamedInputs_.push_back(widget);
    }
}

void QtFormView::SetTabOrder()
{
    for (std::size_t i = 1; i < tabOrder_.size(); ++i)
        QWidget::setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
}

void QtFormView::ConnectInput(Control& control, QWidget* widget)
{
    switch (control.Kind()) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
        ConnectButton(control, widget);
        break;
    case ControlKind::TextBox:
        ConnectTextBox(control, widget);
        break;
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
        ConnectList(control, widget);
        break;
    default:
        break;
    }
}

void QtFormView::ConnectButton(Control& control, QWidget* widget)
{
    auto* button = static_cast<QAbstractButton*>(widget);
    Control* target = &control;
    if (control.Kind() == ControlKind::CheckBox) {
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [this, alive = alive_, target](bool checked) {
                             Feed(this, alive, [&] { target->SetValue(checked ? 1 : 0); });
                         });
        return;
    }
    QObject::connect(button, &QAbstractButton::clicked, button, [this, alive = alive_, target] {
        Feed(this, alive, [&] { target->Click(); });
    });
}

void QtFormView::ConnectTextBox(Control& control, QWidget* widget)
{
    Control* target = &control;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit,
                         [this, alive = alive_, target](const QString& text) {
                             Feed(this, alive, [&] { target->Type(text.toStdString()); });
                         });
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(
            area, &QPlainTextEdit::textChanged, area, [this, alive = alive_, target, area] {
                Feed(this, alive, [&] { target->Type(area->toPlainText().toStdString()); });
            });
    }
}

void QtFormView::ConnectList(Control& control, QWidget* widget)
{
    Control* target = &control;
    auto choose = [this, alive = alive_, target](int index) {
        if (index >= 0)
            Feed(this, alive, [&] { target->SetListIndex(index); });
    };
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        QObject::connect(combo, &QComboBox::activated, combo, choose);
    else if (auto* list = qobject_cast<QListWidget*>(widget))
        QObject::connect(list, &QListWidget::currentRowChanged, list, choose);
}

void QtFormView::Feed(QtFormView* view, const std::shared_ptr<bool>& alive,
                      const std::function<void()>& input)
{
    if (!*alive || view->updating_ > 0)
        return;
    // Nothing may be thrown through Qt's event dispatch.
    try {
        input();
    } catch (const std::exception& error) {
        qWarning("RegWizard: the member's input failed: %s", error.what());
    }
}

void QtFormView::ObserveModel()
{
    for (const auto& control : form_.Controls()) {
        control->Observe([this, alive = alive_](Control& changed, Property property) {
            if (*alive)
                Show(changed, property);
        });
    }
    form_.Observe([this, alive = alive_](FormModel&, FormModel::FormProperty property) {
        if (*alive)
            ShowForm(property);
    });
}

void QtFormView::ShowAll(Control& control)
{
    for (Property property : {Property::Caption, Property::Text, Property::Items, Property::Value,
                              Property::ForeColor, Property::MaxLength, Property::PasswordChar,
                              Property::AnimationFile, Property::Enabled, Property::Visible})
        Show(control, property);
}

void QtFormView::Show(Control& control, Property property)
{
    QWidget* widget = WidgetOf(control);
    if (!widget)
        return;
    const Updating updating(updating_);
    switch (property) {
    case Property::Caption:
        return ShowCaption(control, widget);
    case Property::Text:
        return ShowText(control, widget);
    case Property::Visible:
        return widget->setVisible(control.Visible());
    case Property::Enabled:
        return widget->setEnabled(control.Enabled());
    case Property::ForeColor:
        return ShowForeColour(control, *widget);
    case Property::Items:
        return ShowItems(control, widget);
    case Property::ListIndex:
        return ShowListIndex(control, widget);
    case Property::Value:
        return ShowValue(control, *widget);
    case Property::MaxLength:
        return ShowMaxLength(control, *widget);
    case Property::PasswordChar:
        return ShowPasswordChar(control, *widget);
    case Property::AnimationFile:
        return ShowAnimation(control, *widget);
    }
}

void QtFormView::ShowCaption(const Control& control, QWidget* widget)
{
    const QString caption = DisplayText(control.Caption());
    if (control.Kind() == ControlKind::Label)
        static_cast<QLabel*>(widget)->setText(caption);
    else if (control.Kind() == ControlKind::CommandButton
             || control.Kind() == ControlKind::CheckBox)
        static_cast<QAbstractButton*>(widget)->setText(caption);
    else
        return;
    // A label whose text the wizard fills in later goes by its name meanwhile.
    const QString name =
        caption.isEmpty() ? ToQt(control.Name()) : DisplayText(WithoutMnemonics(control.Caption()));
    widget->setAccessibleName(name);
    const auto inputs = buddies_.find(&control);
    if (inputs == buddies_.end())
        return;
    for (QWidget* input : inputs->second)
        input->setAccessibleName(name);
}

void QtFormView::ShowText(const Control& control, QWidget* widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const QString text = ToQt(control.Text());
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
        const QString text = DisplayText(control.Text());
        if (area->toPlainText() != text)
            area->setPlainText(text);
    }
}

void QtFormView::ShowItems(const Control& control, QWidget* widget)
{
    QStringList items;
    for (const std::string& item : control.Items())
        items << ToQt(item);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->clear();
        combo->addItems(items);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        list->clear();
        list->addItems(items);
    } else {
        return;
    }
    ShowListIndex(control, widget);
}

void QtFormView::ShowListIndex(const Control& control, QWidget* widget)
{
    const int index = control.ListIndex();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(index);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        list->setCurrentRow(index);
        if (index < 0)
            list->clearSelection();
    }
}

void QtFormView::ShowForm(FormModel::FormProperty property)
{
    if (!window_)
        return;
    const Updating updating(updating_);
    switch (property) {
    case FormModel::FormProperty::Caption:
        return window_->setWindowTitle(ToQt(form_.Caption()));
    case FormModel::FormProperty::Visible:
    case FormModel::FormProperty::Loaded:
        return window_->setVisible(form_.Visible());
    case FormModel::FormProperty::MousePointer:
        if (form_.MousePointer() == kHourglass)
            return window_->setCursor(Qt::WaitCursor);
        return window_->unsetCursor();
    case FormModel::FormProperty::Focus:
        return ShowFocus();
    case FormModel::FormProperty::Position:
        return window_->move(form_.Left(), form_.Top());
    }
}

void QtFormView::ShowFocus()
{
    const Control* active = form_.ActiveControl();
    if (QWidget* widget = active ? WidgetOf(*active) : nullptr)
        widget->setFocus(Qt::OtherFocusReason);
}

wizard::FormViewFactory MakeViewFactory()
{
    return [](wizard::RegWizardDesign& form) -> std::unique_ptr<wizard::FormView> {
        return std::make_unique<QtFormView>(form);
    };
}

} // namespace regwiz::ui::qt
