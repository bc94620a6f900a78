#include "ui/qt/accessibility.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QVariant>

#include "ui/qt/busy_indicator.h"

namespace regwiz::ui::qt {
namespace {

constexpr const char* kStatusProperty = "regwizStatus";
constexpr const char* kDecorationProperty = "regwizDecoration";
constexpr const char* kBusyProperty = "regwizBusy";
constexpr const char* kPanelProperty = "regwizPanel";

bool Flag(const QObject& object, const char* name)
{
    return object.property(name).toBool();
}

// The wizard's window: a dialog, busy while the wizard waits.
class WindowInterface final : public QAccessibleWidget {
public:
    explicit WindowInterface(QWidget* window) : QAccessibleWidget(window, QAccessible::Dialog) {}
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.busy = Flag(*widget(), kBusyProperty);
        return state;
    }
};

// A label that reports progress: a status line, named by its text.
class StatusInterface final : public QAccessibleWidget {
public:
    explicit StatusInterface(QWidget* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name) {
            if (auto* label = qobject_cast<QLabel*>(widget()))
                return label->text();
        }
        return QAccessibleWidget::text(type);
    }
};

// A picture that only decorates: not shown to screen readers.
class DecorationInterface final : public QAccessibleWidget {
public:
    explicit DecorationInterface(QWidget* picture)
        : QAccessibleWidget(picture, QAccessible::Graphic)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

// The waiting animation: busy and animated while it turns.
class AnimationInterface final : public QAccessibleWidget {
public:
    explicit AnimationInterface(BusyIndicator* animation)
        : QAccessibleWidget(animation, QAccessible::Animation)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const bool running = static_cast<BusyIndicator*>(widget())->Running();
        state.busy = running;
        state.animated = running;
        return state;
    }
};

// A drop-down list named after its caption. (Qt's own names a list by its
// chosen entry on Linux, so the name changed with every choice.) Its value and
// its read-only text are the chosen entry; its one child the list that drops
// down.
class ChoiceInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ChoiceInterface(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
    QString Shown() const { return Box()->currentText(); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return Shown();
        if (type == QAccessible::Name && Box()->accessibleName().isEmpty())
            return Shown();
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        state.expandable = true;
        const bool open = Box()->view()->isVisible();
        state.expanded = open;
        state.collapsed = !open;
        return state;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(Box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == Box()->view() ? 0 : -1;
    }

    // QAccessibleTextInterface: the chosen entry, read only.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override
    {
        const QString shown = Shown();
        if (end < 0 || end > shown.size())
            end = static_cast<int>(shown.size());
        start = std::clamp(start, 0, end);
        return shown.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

QAccessibleInterface* WizardInterfaces(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (Flag(*widget, kStatusProperty))
        return new StatusInterface(widget);
    if (Flag(*widget, kDecorationProperty))
        return new DecorationInterface(widget);
    if (auto* animation = dynamic_cast<BusyIndicator*>(widget))
        return new AnimationInterface(animation);
    if (auto* box = qobject_cast<QComboBox*>(widget); box && !box->isEditable())
        return new ChoiceInterface(box);
    if (widget->isWindow() && widget->property(kBusyProperty).isValid())
        return new WindowInterface(widget);
    return nullptr;
}

// The panel (a page or an error panel) that `widget` stands on, if any.
QWidget* PanelOf(QWidget* widget, const QWidget* window)
{
    for (QWidget* w = widget ? widget->parentWidget() : nullptr; w && w != window;
         w = w->parentWidget())
        if (Flag(*w, kPanelProperty))
            return w;
    return nullptr;
}

} // namespace

FocusRing::FocusRing(QWidget* window) : QFocusFrame(window), window_(window)
{
    setObjectName(QStringLiteral("focusRing"));
}

void FocusRing::Follow(QWidget* focused)
{
    if (focused == nullptr || focused->window() != window_
        || PanelOf(focused, window_) == nullptr) {
        setWidget(nullptr);
        hide();
        return;
    }
    setWidget(focused);
    show();
    raise();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    if (widget() == nullptr)
        return;
    QPainter painter(this);
    // White outside the field, for the blue page; dark blue just inside, for
    // the white field.
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    painter.setPen(QPen(QColor(0, 0, 128), 1));
    painter.drawRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
}

Picture::Picture(Painter paint, QSize size, QWidget* parent)
    : QWidget(parent), paint_(std::move(paint))
{
    setFixedSize(size);
}

void Picture::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (cache_.isNull() || cache_.devicePixelRatio() != ratio
        || cache_.deviceIndependentSize() != QSizeF(size()))
        cache_ = paint_(size(), ratio);
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), cache_);
}

void Picture::hideEvent(QHideEvent*)
{
    cache_ = QPixmap();
}

void MarkAsStatus(QWidget& label)
{
    label.setProperty(kStatusProperty, true);
}

void AnnounceStatus(QWidget& label)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(&label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void MarkAsDecoration(QWidget& picture)
{
    picture.setProperty(kDecorationProperty, true);
}

void SetBusy(QWidget& window, bool busy)
{
    const bool was = IsBusy(window);
    window.setProperty(kBusyProperty, busy);
    if (was == busy || !QAccessible::isActive())
        return;
    QAccessible::State changes;
    changes.busy = true;
    QAccessibleStateChangeEvent changed(&window, changes);
    QAccessible::updateAccessibility(&changed);
}

bool IsBusy(const QWidget& window)
{
    return Flag(window, kBusyProperty);
}

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(WizardInterfaces);
        return true;
    }();
    (void)installed;
}

void MarkAsPanel(QWidget& panel)
{
    panel.setProperty(kPanelProperty, true);
}

} // namespace regwiz::ui::qt
