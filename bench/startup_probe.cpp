// startup-probe: the component's start-up as a host sees it, and nothing
// more: create a RegEngine, let the wizard come up (IsLoaded, then its
// window), and quit. The benchmark times it against empty-qt-window.
#include <QApplication>
#include <QTimer>

#include "regwizard/reg_engine.h"

namespace {

class QuitWhenLoaded final : public regwizard::RegEngineEvents {
public:
    // exit(), not quit(): quitting asks the windows to close, and the wizard
    // answers that with its cancel question.
    void IsLoaded() override
    {
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
    void RegCanceled() override {}
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QuitWhenLoaded events;
    regwizard::RegEngine engine(&events);
    engine.UnloadSplash();
    return QApplication::exec();
}
