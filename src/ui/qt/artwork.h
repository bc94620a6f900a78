#pragma once

#include <QPixmap>
#include <QSize>

// The wizard's pictures, drawn rather than loaded so the window needs no
// image files beside the program. Sizes are logical; `ratio` is the pixel
// ratio of the screen they are drawn for.
namespace regwiz::ui::qt {

// The tall picture on the left of page `page` (0 = Welcome).
QPixmap PagePicture(int page, QSize size, qreal ratio = 1);

// The picture on the left of the error panels.
QPixmap ErrorPicture(QSize size, qreal ratio = 1);

// The small "computer to service" picture of the site-connection page.
QPixmap ConnectionPicture(QSize size, qreal ratio = 1);

} // namespace regwiz::ui::qt
