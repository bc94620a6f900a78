#include "ui/qt/busy_indicator.h"

#include <QPainter>

namespace regwiz::ui::qt {
namespace {

constexpr int kDots = 12;
constexpr int kFrameMs = 80;

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent)
{
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kDots;
        update();
    });
}

void BusyIndicator::SetRunning(bool running)
{
    if (running == Running())
        return;
    if (running)
        timer_.start();
    else
        timer_.stop();
    update();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    if (!Running())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal side = qMin(width(), height());
    const qreal dot = side / 8;
    painter.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kDots; ++i) {
        // The dot at the head of the turn is brightest, the ones behind fade.
        const int age = (step_ - i + kDots) % kDots;
        painter.setBrush(QColor(255, 255, 255, 255 - age * 18));
        painter.drawEllipse(QPointF(0, -side / 2 + dot), dot / 2 + 1, dot / 2 + 1);
        painter.rotate(360.0 / kDots);
    }
}

} // namespace regwiz::ui::qt
