#include "ui/qt/qt_mouse_pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace regwiz::ui::qt {

QtMousePointer::~QtMousePointer()
{
    SetScreenPointer(platform::pointer::Default);
}

void QtMousePointer::SetScreenPointer(int shape)
{
    shape_ = shape;
    // Qt stacks override cursors; the wizard sets the hourglass many times
    // over, so at most one of ours is ever on the stack.
    const bool wantHourglass = shape == platform::pointer::Hourglass;
    if (wantHourglass == overriding_)
        return;
    if (wantHourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
    overriding_ = wantHourglass;
}

} // namespace regwiz::ui::qt
