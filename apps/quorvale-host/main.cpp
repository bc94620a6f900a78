// quorvale-host: a small host like the service's client. It creates the
// wizard through COM as any host does, by its ProgID, shows its own splash
// screen until the wizard is ready, releases the wizard when it is over, and
// tells the member ID the wizard stored, if any.
#include <QApplication>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#include "com/posix/registry_activation.h"
#include "platform/codepage.h"
#include "platform/posix/registry_files.h"
#include "regwizard/com/reg_engine_com.h"

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

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

class Host;

// The host's side of the wizard's events: the object calls it through
// IDispatch::Invoke. It lives inside the Host, so its count only tells COM
// it is in use.
class EventSink final : public IDispatch {
public:
    explicit EventSink(Host& host) : host_(host) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IDispatch && riid != DIID___RegEngine)
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    Host& host_;
    ULONG references_ = 0;
};

class Host {
public:
    // Creates the wizard and connects to its events; false when it cannot.
    bool Start();
    // Lets go of the wizard: disconnects, then releases the object.
    void Stop();

    void IsLoaded()
    {
        std::cout << "quorvale-host: the wizard is ready" << std::endl;
        splash.close();
    }

    void RegCanceled()
    {
        std::cout << "quorvale-host: the wizard is over" << std::endl;
        // Released from the event loop, not from inside the wizard's own event.
        QTimer::singleShot(0, [this] {
            Stop();
            QApplication::quit();
        });
    }

    QSplashScreen splash{SplashPicture()};

private:
    HRESULT Create();
    HRESULT Connect();

    EventSink sink_{*this};
    _RegEngine* engine_ = nullptr;
    IConnectionPoint* events_ = nullptr;
    DWORD cookie_ = 0;
};

HRESULT EventSink::Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                          UINT*)
{
    if (event == DISPID_RegEngineEvents_IsLoaded)
        host_.IsLoaded();
    else if (event == DISPID_RegEngineEvents_RegCanceled)
        host_.RegCanceled();
    else
        return DISP_E_MEMBERNOTFOUND;
    return S_OK;
}

bool IsUnregistered(HRESULT hr)
{
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG || hr == CO_E_DLLNOTFOUND;
}

// A machine where the class was never registered (or its library moved) gets
// the library built beside this program registered first.
HRESULT Host::Create()
{
    void* object = nullptr;
    HRESULT hr = regwizard::com::CoCreateFromRegistry(kRegEngineProgId, IID__RegEngine, &object);
    if (IsUnregistered(hr)) {
        std::cout << "quorvale-host: " << kRegEngineProgId << " is not registered; registering "
                  << REGWIZARD_LIBRARY << std::endl;
        const regwizard::com::EntryCall call =
            regwizard::com::CallServerEntry(REGWIZARD_LIBRARY, "DllRegisterServer");
        if (call.outcome != regwizard::com::EntryCall::Outcome::Called || FAILED(call.result)) {
            std::cerr << "quorvale-host: registration failed: "
                      << (call.error.empty() ? Hex(call.result) : call.error) << std::endl;
            return hr;
        }
        hr = regwizard::com::CoCreateFromRegistry(kRegEngineProgId, IID__RegEngine, &object);
    }
    engine_ = static_cast<_RegEngine*>(object);
    return hr;
}

HRESULT Host::Connect()
{
    void* found = nullptr;
    HRESULT hr = engine_->QueryInterface(IID_IConnectionPointContainer, &found);
    if (FAILED(hr))
        return hr;
    auto* container = static_cast<IConnectionPointContainer*>(found);
    hr = container->FindConnectionPoint(DIID___RegEngine, &events_);
    container->Release();
    if (FAILED(hr))
        return hr;
    return events_->Advise(&sink_, &cookie_);
}

bool Host::Start()
{
    HRESULT hr = Create();
    if (SUCCEEDED(hr))
        hr = Connect();
    if (FAILED(hr)) {
        std::cerr << "quorvale-host: cannot create " << kRegEngineProgId << ": " << Hex(hr)
                  << std::endl;
        Stop();
        return false;
    }
    return true;
}

void Host::Stop()
{
    if (events_ != nullptr) {
        if (cookie_ != 0)
            events_->Unadvise(cookie_);
        events_->Release();
    }
    if (engine_ != nullptr)
        engine_->Release();
    events_ = nullptr;
    engine_ = nullptr;
    cookie_ = 0;
}

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
    if (!host.Start())
        return 1;
    // exit, not quit: quit first closes every window, and closing the wizard's
    // asks the member whether to give up, in a box no one answers here.
    if (const char* shots = std::getenv("QUORVALE_HOST_QUIT_AFTER_MS"))
        QTimer::singleShot(std::atoi(shots), [] { QCoreApplication::exit(0); });
    app.exec();
    host.Stop();
    const std::string memberId = StoredMemberId();
    if (!memberId.empty())
        std::cout << "quorvale-host: member ID " << memberId << std::endl;
    return 0;
}
