#include "ui/qt/artwork.h"

#include <array>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace regwiz::ui::qt {
namespace {

constexpr std::array<const char*, 12> kPageTitles = {
    "Welcome", "Agreement", "About You", "How You Heard", "Occupation",    "Payment",
    "Modem",   "Password",  "Area Code", "Connecting",    "Access Number", "Finish",
};

QPixmap BlankPicture(QSize size, qreal ratio)
{
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    return picture;
}

void PaintPanel(QPainter& painter, QRectF area, QColor top, QColor bottom)
{
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1.5));
    painter.setBrush(gradient);
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), 10, 10);
}

// Soft rings in the lower half: they keep the tall panel from looking empty.
void PaintRings(QPainter& painter, QRectF area)
{
    const QPointF centre(area.center().x(), area.bottom() - area.height() * 0.28);
    painter.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 3; ++ring) {
        painter.setPen(QPen(QColor(255, 255, 255, 70 - ring * 15), 2));
        const qreal radius = area.width() * 0.13 * ring;
        painter.drawEllipse(centre, radius, radius);
    }
}

void PaintBadge(QPainter& painter, QRectF area, const QString& text)
{
    const qreal diameter = area.width() * 0.5;
    const QRectF badge(area.center().x() - diameter / 2, area.top() + 24, diameter, diameter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawEllipse(badge);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(diameter * (text.size() > 2 ? 0.28 : 0.5)));
    painter.setFont(font);
    painter.setPen(QColor(20, 50, 140));
    painter.drawText(badge, Qt::AlignCenter, text);
}

void PaintTitle(QPainter& painter, QRectF area, const QString& title)
{
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRectF band(area.left() + 8, area.top() + 24 + area.width() * 0.5 + 14, area.width() - 16,
                      48);
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, title);
}

// A screen on a stand.
void PaintComputer(QPainter& painter, QRectF box)
{
    painter.setPen(QPen(QColor(20, 50, 140), 2));
    painter.setBrush(QColor(220, 232, 255));
    const QRectF screen(box.left(), box.top(), box.width(), box.height() * 0.7);
    painter.drawRoundedRect(screen, 4, 4);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPointF(box.center().x(), screen.bottom()),
                     QPointF(box.center().x(), box.bottom()));
    painter.drawLine(QPointF(box.left() + box.width() * 0.25, box.bottom()),
                     QPointF(box.right() - box.width() * 0.25, box.bottom()));
}

// A globe: the service at the other end of the line.
void PaintGlobe(QPainter& painter, QRectF box)
{
    painter.setPen(QPen(QColor(20, 50, 140), 2));
    painter.setBrush(QColor(120, 200, 255));
    painter.drawEllipse(box);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box.adjusted(box.width() * 0.3, 0, -box.width() * 0.3, 0));
    painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
}

} // namespace

QPixmap PagePicture(int page, QSize size, qreal ratio)
{
    QPixmap picture = BlankPicture(size, ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    PaintPanel(painter, area, QColor(18, 40, 120), QColor(40, 150, 215));
    PaintRings(painter, area);
    const bool known = page >= 0 && page < static_cast<int>(kPageTitles.size());
    PaintBadge(painter, area, page == 0 ? QStringLiteral("Hi!") : QString::number(page));
    PaintTitle(painter, area,
               known ? QString::fromLatin1(kPageTitles[static_cast<std::size_t>(page)])
                     : QString());
    return picture;
}

QPixmap ErrorPicture(QSize size, qreal ratio)
{
    QPixmap picture = BlankPicture(size, ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    PaintPanel(painter, area, QColor(120, 20, 30), QColor(215, 90, 60));
    PaintRings(painter, area);
    PaintBadge(painter, area, QStringLiteral("!"));
    PaintTitle(painter, area, QStringLiteral("Something went wrong"));
    return picture;
}

QPixmap ConnectionPicture(QSize size, qreal ratio)
{
    QPixmap picture = BlankPicture(size, ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size.height() * 0.8;
    const QRectF computer(4, (size.height() - unit) / 2, unit * 1.2, unit);
    const QRectF globe(size.width() - unit - 4, (size.height() - unit) / 2, unit, unit);
    PaintComputer(painter, computer);
    PaintGlobe(painter, globe);
    painter.setPen(QPen(Qt::white, 3, Qt::DotLine));
    const qreal y = computer.top() + unit * 0.35;
    painter.drawLine(QPointF(computer.right() + 8, y), QPointF(globe.left() - 8, y));
    return picture;
}

} // namespace regwiz::ui::qt
