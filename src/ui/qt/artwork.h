#pragma once

#include <QPixmap>
#include <QSize>

// The wizard's pictures, drawn rather than loaded so the window needs no
// image files beside the program.
namespace regwiz::ui::qt {

// The tall picture on the left of page `page` (0 = Welcome).
QPixmap PagePicture(int page, QSize size);

// The picture on the left of the error panels.
QPixmap ErrorPicture(QSize size);

// The small "computer to service" picture of the site-connection page.
QPixmap ConnectionPicture(QSize size);

} // namespace regwiz::ui::qt
