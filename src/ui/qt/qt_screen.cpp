#include "ui/qt/qt_screen.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace regwiz::ui::qt {
namespace {

QSize ScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->size() : QSize(1024, 768);
}

} // namespace

int QtScreen::Width() const
{
    return ScreenSize().width();
}

int QtScreen::Height() const
{
    return ScreenSize().height();
}

void EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "regwizard";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

} // namespace regwiz::ui::qt
