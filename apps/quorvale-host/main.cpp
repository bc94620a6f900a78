// quorvale-host: a small host like the service's client. It shows its own
// splash screen until the wizard is ready, releases the wizard when it is
// over, and tells the member ID the wizard stored, if any.
#include <QApplication>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>
#include <iostream>
#include <memory>

#include "platform/codepage.h"
#include "platform/posix/registry_files.h"
#include "regwizard/reg_engine.h"

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

class Host final : public regwizard::RegEngineEvents {
public:
    void IsLoaded() override
    {
        std::cout << "quorvale-host: the wizard is ready" << std::endl;
        splash.close();
    }
    void RegCanceled() override
    {
        std::cout << "quorvale-host: the wizard is over" << std::endl;
        // Released from the event loop, not from inside the wizard's own handler.
        QTimer::singleShot(0, [this] {
            engine.reset();
            QApplication::quit();
        });
    }

    QSplashScreen splash{SplashPicture()};
    std::unique_ptr<regwizard::RegEngine> engine;
};

// The member ID the wizard left in the registry for the client.
std::string StoredMemberId()
{
    using namespace regwiz::platform;
    posix::RegistryFiles registry(posix::RegistryFiles::DefaultFolder());
    KeyHandle key = 0;
    if (registry.OpenKey(Hive::LocalMachine, "SOFTWARE\\quorvale\\1.0", KeyAccess::QueryValue, key)
        != 0)
        return {};
    std::uint8_t data[256];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof data;
    const long status = registry.QueryValue(key, "memberi", type, data, size);
    registry.CloseKey(key);
    if (status != 0 || size == 0)
        return {};
    return FromAnsi(std::string(reinterpret_cast<const char*>(data), size - 1));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Host host;
    host.splash.show();
    host.engine = std::make_unique<regwizard::RegEngine>(&host);
    if (const char* shots = std::getenv("QUORVALE_HOST_QUIT_AFTER_MS"))
        QTimer::singleShot(std::atoi(shots), [] { QApplication::quit(); });
    app.exec();
    host.engine.reset();
    const std::string memberId = StoredMemberId();
    if (!memberId.empty())
        std::cout << "quorvale-host: member ID " << memberId << std::endl;
    return 0;
}
