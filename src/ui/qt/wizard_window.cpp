#include "ui/qt/wizard_window.h"

#include <algorithm>
#include <array>

#include <QAccessible>
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
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <QtDebug>

#include "ui/layout/control_roles.h"
#include "ui/layout/model_watch.h"
#include "ui/qt/accessibility.h"
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

// The pages, one above the other: each page and error panel takes the whole
// area, and the area is as tall as the tallest shown panel needs at its
// width, so that a larger font makes the page scroll, never cuts it.
class PageHost final : public QWidget {
public:
    explicit PageHost(QWidget* parent) : QWidget(parent)
    {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    // What the panels need at `width`; `shownOnly`: only the panels shown.
    int Needed(int width, bool shownOnly) const
    {
        int height = WizardWindow::PageArea().height();
        for (const QFrame* panel : findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
            const QLayout* layout = panel->layout();
            if (layout == nullptr || (shownOnly && panel->isHidden()))
                continue;
            const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                           : layout->totalMinimumSize().height();
            height = std::max(height, needed);
        }
        return height;
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return Needed(width, true); }
    QSize sizeHint() const override
    {
        return {WizardWindow::kWidth, heightForWidth(WizardWindow::kWidth)};
    }
    QSize minimumSizeHint() const override { return {WizardWindow::kWidth / 2, 0}; }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        for (QFrame* panel : findChildren<QFrame*>(Qt::FindDirectChildrenOnly))
            panel->setGeometry(rect());
    }
};

QString DefaultAccessibleName(const Control& control)
{
    const std::string name = control.AccessibleName();
    if (!name.empty() || control.Decorative())
        return ToQt(name);
    return ToQt(control.Name());
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
    if (auto* busy = dynamic_cast<BusyIndicator*>(&widget)) {
        busy->SetRunning(!control.AnimationFile().empty());
        QAccessible::State changes;
        changes.busy = true;
        changes.animated = true;
        QAccessibleStateChangeEvent changed(busy, changes);
        QAccessible::updateAccessibility(&changed);
    }
}

// A width of the design's, grown with a font larger than the design's.
int FontScaled(const QWidget& widget, int width)
{
    constexpr double kDesignCharWidth = 7.0;
    const double scale = widget.fontMetrics().averageCharWidth() / kDesignCharWidth;
    return static_cast<int>(width * std::max(1.0, scale));
}

// The page `control` stands on; -1 for the rest, the page frames included.
int PageHolding(wizard::RegWizardDesign& form, const Control& control)
{
    return control.Container() != nullptr ? PageOf(form, *control.Container()) : -1;
}

// A field listed by a failed check: screen readers hear why; its caption
// turns bold as well as red, so the mark does not rest on colour alone.
constexpr const char* kMissingDescription = "Missing or incorrect value";

} // namespace

WizardWindow::WizardWindow()
    : pages_(nullptr), scroller_(new QScrollArea(this)), column_(new QVBoxLayout(this)),
      ring_(nullptr)
{
    InstallAccessibleInterfaces();
    SetBusy(*this, false);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    scroller_->setObjectName(QStringLiteral("pageArea"));
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setWidgetResizable(true);
    scroller_->setFocusPolicy(Qt::NoFocus);
    pages_ = new PageHost(scroller_);
    pages_->setObjectName(QStringLiteral("pages"));
    scroller_->setWidget(pages_);
    column_->addWidget(scroller_, 1);
    ring_ = new FocusRing(this);
    ring_->hide();
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        ring_->Follow(now);
        // The field with the focus is always scrolled into view.
        if (now != nullptr && pages_->isAncestorOf(now))
            scroller_->ensureWidgetVisible(now, 8, 8);
    });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    QObject::connect(help, &QShortcut::activated, this, [this] {
        const std::function<void()> request = onHelpRequested;
        if (request)
            request();
    });
    setFixedSize(kWidth, kHeight);
}

QRect WizardWindow::PageArea()
{
    return {0, 0, kWidth, kHeight - kButtonBarHeight - 2};
}

void WizardWindow::AddBelowPages(QWidget* widget)
{
    column_->addWidget(widget, 0);
}

void WizardWindow::PagesChanged()
{
    pages_->updateGeometry();
}

void WizardWindow::FitToScreen()
{
    const QScreen* shownOn = screen();
    if (shownOn == nullptr)
        return;
    const QRect room = shownOn->availableGeometry();
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const int frameWidth = outer.width() - inner.width();
    const int frameHeight = outer.height() - inner.height();
    const int below = kHeight - PageArea().height();
    const int width = std::min(kWidth, room.width() - frameWidth);
    const int pages = static_cast<const PageHost*>(pages_)->Needed(width, false);
    const int height = std::min(below + pages, room.height() - frameHeight);
    setFixedSize(std::max(width, 1), std::max(height, below));
    // Keep the whole window, title bar included, on the free area.
    QPoint at = pos();
    at.setX(std::clamp(at.x(), room.left(),
                       std::max(room.left(), room.right() + 1 - width - frameWidth)));
    at.setY(std::clamp(at.y(), room.top(),
                       std::max(room.top(), room.bottom() + 1 - this->height() - frameHeight)));
    if (at != pos())
        move(at);
}

void WizardWindow::reject()
{
    // Escape: what the close box does.
    const std::function<void()> request = onCloseRequested;
    if (request)
        request();
}

void WizardWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FitToScreen();
}

void WizardWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitToScreen();
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
    // A page shown comes complete with its controls (see BuildPage).
    for (const auto& control : form_.Controls()) {
        if (PageHolding(form_, *control) < 0)
            ShowAll(*control);
    }
    ObserveModel();
    for (auto property : {FormModel::FormProperty::Caption, FormModel::FormProperty::MousePointer,
                          FormModel::FormProperty::Visible})
        ShowForm(property);
    // Closing the window, or Escape, is the member's way of saying Cancel;
    // F1 is Help.
    window_->onCloseRequested = [this, alive = alive_] {
        if (*alive && form_.cmdCancel.UsableOnForm())
            Feed(this, alive, [this] { form_.cmdCancel.Click(); });
    };
    window_->onHelpRequested = [this, alive = alive_] {
        if (*alive && form_.cmdHelp.UsableOnForm())
            Feed(this, alive, [this] { form_.cmdHelp.Click(); });
    };
    ShowDefaultButton();
    window_->FitToScreen();
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

QWidget* QtFormView::WidgetFor(const std::string& controlName)
{
    const Control* control = form_.Find(controlName);
    if (control == nullptr)
        return nullptr;
    BuildPageOf(*control);
    return WidgetOf(*control);
}

QWidget* QtFormView::WidgetOf(const Control& control) const
{
    const auto found = byControl_.find(&control);
    return window_ && found != byControl_.end() ? found->second : nullptr;
}

// Everything but the pages' controls: the page frames, the error panels and
// the button bar.
void QtFormView::BuildWidgets()
{
    std::vector<Control*> made;
    for (const auto& owned : form_.Controls()) {
        if (PageHolding(form_, *owned) < 0) {
            AddWidget(*owned);
            made.push_back(owned.get());
        }
    }
    LayOutPanel(form_.fraError, {});
    LayOutPanel(form_.fraTerminalError, {});
    // The error panels cover whatever page is up.
    WidgetOf(form_.fraError)->raise();
    WidgetOf(form_.fraTerminalError)->raise();
    LayOutButtonBar();
    SetTabOrder();
    LinkLabels(made);
}

void QtFormView::BuildPageOf(const Control& control)
{
    const int page = control.Container() ? PageHolding(form_, control) : PageOf(form_, control);
    if (page >= 0)
        BuildPage(page);
}

// The page as BuildWidgets would have made it, shown as the model has it
// now. A field's label stands on the field's page.
void QtFormView::BuildPage(int page)
{
    auto& built = pageBuilt_[static_cast<std::size_t>(page)];
    if (built || !window_)
        return;
    built = true;
    Control& frame = form_.Page(page);
    std::vector<Control*> made;
    for (const auto& owned : form_.Controls()) {
        if (owned->Container() == &frame) {
            AddWidget(*owned);
            made.push_back(owned.get());
        }
    }
    LayOutPanel(frame, LayoutOfPage(page));
    SetTabOrder();
    LinkLabels(made);
    for (Control* control : made)
        ShowAll(*control);
    ShowDefaultButton();
    window_->PagesChanged();
    // The window grows to the tallest page built, as it would have at the start.
    if (window_->isVisible())
        window_->FitToScreen();
}

void QtFormView::AddWidget(Control& control)
{
    QWidget* parent = control.Container()   ? WidgetOf(*control.Container())
                      : OnPageArea(control) ? window_->Pages()
                                            : window_.data();
    QWidget* widget = MakeWidget(control, parent);
    widget->setObjectName(ToQt(control.Name()));
    // Marks first: naming the widget makes its accessible interface.
    if (control.Decorative())
        MarkAsDecoration(*widget);
    if (control.ReportsStatus())
        MarkAsStatus(*widget);
    widget->setAccessibleName(DefaultAccessibleName(control));
    if (control.Container() && KeepsStandardLook(control.Kind()))
        widget->setPalette(QApplication::palette(widget));
    byControl_[&control] = widget;
    if (!control.Container())
        PlaceOnWindow(control, widget);
    ConnectInput(control, widget);
}

// The buttons at the right of the bar: Back and Next together, then Cancel
// and Help. A hidden button keeps its place.
void QtFormView::LayOutButtonBar()
{
    auto* bar = new QHBoxLayout(WidgetOf(form_.fraButtonBackground));
    const int inset = (WizardWindow::kButtonBarHeight - kButtonHeight) / 2;
    bar->setContentsMargins(kMargin, inset, kMargin, inset);
    bar->setSpacing(0);
    bar->addStretch(1);
    const std::array<Control*, 4> buttons = {&form_.cmdBack, &form_.cmdNext, &form_.cmdCancel,
                                             &form_.cmdHelp};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QWidget* button = WidgetOf(*buttons[i]);
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->setMinimumSize(kButtonWidth, kButtonHeight);
        if (i >= 2)
            bar->addSpacing(kButtonGap);
        bar->addWidget(button);
        tabOrder_[TabGroup(form_.fraButtonBackground)].push_back(button);
    }
    WidgetOf(form_.fraButtonBackground)->setMinimumHeight(WizardWindow::kButtonBarHeight);
}

// Each field is labelled by its caption: the label's buddy, which screen
// readers take as the field's label. A second field under the same caption
// gets a twin of the label that is never drawn, as a label has one buddy.
void QtFormView::LinkLabels(const std::vector<Control*>& fields)
{
    for (const Control* owned : fields) {
        const Control* label = owned->Label();
        auto* labelWidget = label ? qobject_cast<QLabel*>(WidgetOf(*label)) : nullptr;
        QWidget* field = WidgetOf(*owned);
        if (labelWidget == nullptr || field == nullptr)
            continue;
        if (labelWidget->buddy() == nullptr
            && labelWidget->parentWidget() == field->parentWidget()) {
            labelWidget->setBuddy(field);
            continue;
        }
        auto* twin = new QLabel(labelWidget->text(), field->parentWidget());
        twin->setObjectName(labelWidget->objectName() + QStringLiteral("#") + ToQt(owned->Name()));
        twin->setAccessibleName(labelWidget->accessibleName());
        twin->setBuddy(field);
        twin->hide();
        twins_[label].push_back(twin);
    }
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
    Picture::Painter paint = ConnectionPicture;
    QSize size(200, 72);
    for (int page = 0; page < wizard::kPageCount; ++page) {
        const char* name = LayoutOfPage(page).picture;
        if (name != nullptr && image.Name() == name) {
            paint = [page](QSize at, qreal ratio) { return PagePicture(page, at, ratio); };
            size = tall;
        }
    }
    if (image.Container() == &form_.fraError || image.Container() == &form_.fraTerminalError) {
        paint = ErrorPicture;
        size = tall;
    }
    return new Picture(paint, size, parent);
}

bool QtFormView::OnPageArea(const Control& control) const
{
    return control.Container() == nullptr && control.Kind() == ControlKind::Frame
           && &control != &form_.fraButtonBackground;
}

void QtFormView::PlaceOnWindow(const Control& control, QWidget* widget)
{
    if (OnPageArea(control)) {
        widget->setGeometry(window_->Pages()->rect());
        MarkAsPanel(*widget);
        return;
    }
    if (control.Kind() == ControlKind::Line)
        widget->setFixedHeight(1);
    window_->AddBelowPages(widget);
}

void QtFormView::LayOutPanel(Control& panel, PageLayout design)
{
    const PageLayout layout = CompleteLayout(form_, panel, std::move(design));
    auto* outer = new QHBoxLayout(WidgetOf(panel));
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(16);
    const Control* picture = layout.picture ? form_.Find(layout.picture) : nullptr;
    if (QWidget* widget = picture ? WidgetOf(*picture) : nullptr)
        outer->addWidget(widget, 0, Qt::AlignTop);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid, 1);
    int index = 0;
    bool grows = false;
    Stops& stops = tabOrder_[TabGroup(panel)];
    for (const Row& row : layout.rows) {
        AddRow(*grid, index++, row, stops);
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
        if (const QWidget* widget = label ? WidgetOf(*label) : nullptr) {
            const QString caption = DisplayText(label->Caption());
            width = std::max(width, widget->fontMetrics().horizontalAdvance(caption) + 2);
        }
    }
    return std::min(width, kLabelColumnMax);
}

void QtFormView::AddRow(QGridLayout& grid, int index, const Row& row, Stops& stops)
{
    if (row.grows)
        grid.setRowStretch(index, 1);
    if (!row.label) {
        const Cell& cell = row.fields.front();
        if (QWidget* widget = Place(cell, stops))
            grid.addWidget(widget, index, 0, 1, 2,
                           cell.width == kFill ? Qt::Alignment() : Qt::AlignLeft);
        return;
    }
    if (QWidget* label = *row.label ? Place({row.label, kNatural}, stops) : nullptr)
        grid.addWidget(label, index, 0);
    auto* line = new QHBoxLayout;
    line->setSpacing(8);
    bool fills = false;
    for (const Cell& cell : row.fields) {
        if (QWidget* widget = Place(cell, stops)) {
            line->addWidget(widget, cell.width == kFill ? 1 : 0);
            fills = fills || cell.width == kFill;
        }
    }
    if (!fills)
        line->addStretch(1);
    grid.addLayout(line, index, 1);
}

QWidget* QtFormView::Place(const Cell& cell, Stops& stops)
{
    const Control* control = form_.Find(cell.name);
    QWidget* widget = control ? WidgetOf(*control) : nullptr;
    if (!widget)
        return nullptr;
    if (cell.width > 0)
        widget->setFixedWidth(FontScaled(*widget, cell.width));
    // A status line takes the focus only while it says something.
    if (TakesFocus(control->Kind()) || control->ReportsStatus())
        stops.push_back(widget);
    return widget;
}

int QtFormView::TabGroup(const Control& panel) const
{
    if (const int page = PageOf(form_, panel); page >= 0)
        return page;
    if (&panel == &form_.fraError)
        return wizard::kPageCount;
    if (&panel == &form_.fraTerminalError)
        return wizard::kPageCount + 1;
    return wizard::kPageCount + 2;
}

// Pages built later join the chain in their place, before the button bar.
void QtFormView::SetTabOrder()
{
    QWidget* previous = nullptr;
    for (const auto& [group, stops] : tabOrder_) {
        for (QWidget* stop : stops) {
            if (previous != nullptr)
                QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
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
    ui::WatchModel(
        form_, alive_, [this](Control& changed, Property property) { Show(changed, property); },
        [this](FormModel::FormProperty property) { ShowForm(property); });
}

void QtFormView::ShowAll(Control& control)
{
    for (Property property : ui::kShownProperties)
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
        if (control.Visible())
            BuildPageOf(control);
        widget->setVisible(control.Visible());
        if (window_)
            window_->PagesChanged();
        return;
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
    case Property::Missing:
        return ShowMissing(control, widget);
    }
}

void QtFormView::ShowCaption(const Control& control, QWidget* widget)
{
    const QString caption = DisplayText(control.Caption());
    if (control.Kind() == ControlKind::Label) {
        static_cast<QLabel*>(widget)->setText(caption);
    } else if (control.Kind() == ControlKind::CommandButton
               || control.Kind() == ControlKind::CheckBox) {
        auto* button = static_cast<QAbstractButton*>(widget);
        button->setText(caption);
        // A caption without a mnemonic may still have a key of its own.
        if (const char key = HiddenAccessKey(control.Caption()); key != 0)
            button->setShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(key)));
    } else {
        return;
    }
    widget->setAccessibleName(DefaultAccessibleName(control));
    if (control.ReportsStatus()) {
        // A status the member can reach with Tab and read again (the result
        // on the last page), once it says something.
        auto* label = static_cast<QLabel*>(widget);
        label->setFocusPolicy(caption.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
        label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        AnnounceStatus(*widget);
    }
    // Fields named after this label follow its caption.
    for (const auto& owned : form_.Controls()) {
        if (owned->Label() != &control)
            continue;
        if (QWidget* field = WidgetOf(*owned))
            field->setAccessibleName(DefaultAccessibleName(*owned));
    }
    const auto twins = twins_.find(&control);
    if (twins != twins_.end()) {
        for (QLabel* twin : twins->second) {
            twin->setText(caption);
            twin->setAccessibleName(widget->accessibleName());
        }
    }
    if (window_ && control.Kind() == ControlKind::Label)
        window_->PagesChanged();
}

void QtFormView::ShowMissing(const Control& control, QWidget* widget)
{
    if (control.Kind() == ControlKind::Label) {
        QFont font = widget->font();
        font.setBold(control.Missing() || HeadingEmphasis(control.Name()) > 0);
        widget->setFont(font);
        return;
    }
    widget->setAccessibleDescription(control.Missing() ? QString::fromLatin1(kMissingDescription)
                                                       : QString());
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
        ShowBusy();
        if (form_.Busy())
            return window_->setCursor(Qt::WaitCursor);
        return window_->unsetCursor();
    case FormModel::FormProperty::Focus:
        return ShowFocus();
    case FormModel::FormProperty::Position:
        window_->move(form_.Left(), form_.Top());
        if (window_->isVisible())
            window_->FitToScreen();
        return;
    case FormModel::FormProperty::DefaultButton:
        return ShowDefaultButton();
    }
}

// Enter presses the page's default button; a focused button takes Enter
// itself (the dialog's own rule).
void QtFormView::ShowDefaultButton()
{
    const Control* chosen = form_.DefaultButton();
    for (const auto& owned : form_.Controls()) {
        if (owned->Kind() != ControlKind::CommandButton)
            continue;
        if (auto* button = qobject_cast<QPushButton*>(WidgetOf(*owned))) {
            button->setAutoDefault(true);
            button->setDefault(owned.get() == chosen);
        }
    }
}

void QtFormView::ShowBusy()
{
    SetBusy(*window_, form_.Busy());
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
