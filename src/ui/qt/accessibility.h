#pragma once

#include <functional>

#include <QFocusFrame>
#include <QPixmap>
#include <QWidget>

// What the Qt window adds for members who use the keyboard, a screen reader
// or a large scale: a focus ring that shows on the blue pages, pictures drawn
// for the screen's pixel ratio and passed by screen readers, and the
// accessible roles and states the standard widgets cannot carry.
namespace regwiz::ui::qt {

// A ring around the focused field, drawn outside the field where the page's
// blue would swallow the style's own focus frame. Screen readers never see it
// (Qt leaves focus frames out of the accessible tree).
class FocusRing final : public QFocusFrame {
public:
    explicit FocusRing(QWidget* window);

    // Follows the focus inside `window`, onto controls that stand on a
    // coloured panel; hides elsewhere.
    void Follow(QWidget* focused);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* window_;
};

// A picture drawn by `paint` at the logical size given, for the pixel ratio
// of the screen it is on, so it stays sharp at any scale.
class Picture final : public QWidget {
public:
    using Painter = std::function<QPixmap(QSize size, qreal ratio)>;
    Picture(Painter paint, QSize size, QWidget* parent);

    // The pixel ratio of the picture last drawn (0: not drawn yet).
    qreal DrawnRatio() const { return cache_.isNull() ? 0 : cache_.devicePixelRatio(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // A page's picture is drawn again when the page comes back: the member
    // sees one page at a time, so only the shown one keeps its pixels.
    void hideEvent(QHideEvent* event) override;

private:
    Painter paint_;
    QPixmap cache_;
};

// Marks a coloured panel (a page, an error panel): the focus ring shows
// around the controls on it.
void MarkAsPanel(QWidget& panel);

// Marks a label as one whose text reports how a wait goes: screen readers
// take it as a status line and hear each new text.
void MarkAsStatus(QWidget& label);
// Tells screen readers that a status label's text has changed.
void AnnounceStatus(QWidget& label);

// Marks a picture as decoration, which screen readers pass by.
void MarkAsDecoration(QWidget& picture);

// The window's busy state, while the wizard waits.
void SetBusy(QWidget& window, bool busy);
bool IsBusy(const QWidget& window);

// Installs the accessible interfaces of the wizard's own kinds of widget:
// the window as a dialog that can be busy, status lines, decoration and the
// waiting animation. Once per application; later calls do nothing.
void InstallAccessibleInterfaces();

} // namespace regwiz::ui::qt
