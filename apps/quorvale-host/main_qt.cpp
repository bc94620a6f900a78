// quorvale-host: a small host like the service's client, on a Linux desktop.
// It shows its splash screen (a QSplashScreen) while the wizard starts; the
// rest of what it does is host_session.h's, over the component's COM layer
// for Linux (the class found in the registry files, its library loaded with
// dlopen).
#include <QApplication>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "com/posix/registry_activation.h"
#include "host_session.h"
#include "platform/posix/registry_files.h"

namespace {

QPixmap SplashPicture()
{
    QPixmap picture(420, 240);
    picture.fill(QColor(0, 0, 160));
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(picture.rect().adjusted(0, -30, 0, -30), Qt::AlignCenter, "quorvale Online");
    QFont note = painter.font();
    note.setPointSize(10);
    note.setBold(false);
    painter.setFont(note);
    painter.drawText(picture.rect().adjusted(0, 50, 0, 50), Qt::AlignCenter,
                     "Starting the registration wizard...");
    return picture;
}

class QtWindows final : public regwiz::client::HostWindows {
public:
    void CloseSplash() override { splash.close(); }
    void Later(std::function<void()> step) override { QTimer::singleShot(0, std::move(step)); }
    // The member ID goes to the terminal (the session prints it).
    void ShowMemberId(const std::string&) override {}
    void ShowFailure(const std::string&) override {}
    void Quit() override { QApplication::quit(); }

    QSplashScreen splash{SplashPicture()};
};

// The library installed with this program (in the prefix's library folder),
// else the one of the build tree it was built in.
std::string OwnLibrary()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed =
            (program.parent_path() / REGWIZARD_INSTALLED_LIBRARY).lexically_normal();
        if (std::filesystem::exists(installed, error))
            return installed.string();
    }
    return REGWIZARD_LIBRARY;
}

// The class as the registry files name it; the library of this program's
// build or installation is the one registered when none is.
class RegistryActivation final : public regwiz::client::Activation {
public:
    HRESULT Create(void** engine) override
    {
        return regwizard::com::CoCreateFromRegistry(kRegEngineProgId, IID__RegEngine, engine);
    }
    std::string RegisterLibrary() override
    {
        const regwizard::com::EntryCall call =
            regwizard::com::CallServerEntry(library_, "DllRegisterServer");
        if (call.outcome != regwizard::com::EntryCall::Outcome::Called)
            return call.error;
        return FAILED(call.result)
                   ? "DllRegisterServer: " + regwiz::client::HresultText(call.result)
                   : "";
    }
    std::string LibraryName() const override { return library_; }

private:
    std::string library_ = OwnLibrary();
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtWindows windows;
    regwiz::platform::posix::RegistryFiles registry(
        regwiz::platform::posix::RegistryFiles::DefaultFolder());
    regwiz::client::HostSession session(windows, registry);
    windows.splash.show();
    RegistryActivation activation;
    if (!session.Start(activation))
        return 1;
    // exit, not quit: quit first closes every window, and closing the wizard's
    // asks the member whether to give up, in a box no one answers here.
    if (const char* shots = std::getenv("QUORVALE_HOST_QUIT_AFTER_MS"))
        QTimer::singleShot(std::atoi(shots), [] { QCoreApplication::exit(0); });
    app.exec();
    session.Stop();
    return 0;
}
