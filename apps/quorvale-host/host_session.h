#pragma once

// What quorvale-host does on every platform: it creates the wizard through COM
// by its ProgID (registering the component's library first when the class is
// not registered), listens to its events, closes the splash screen on
// IsLoaded, and on RegCanceled lets go of the wizard, tells the member ID the
// wizard stored and quits. Only the window system and COM's activation differ
// between the hosts; they come in through HostWindows and Activation.

#include <functional>
#include <string>

#include "host_com.h"
#include "platform/registry.h"

namespace regwiz::client {

// The host's own windows and event loop.
class HostWindows {
public:
    virtual ~HostWindows() = default;
    virtual void CloseSplash() = 0;
    // Runs `step` from the event loop, once the event being delivered has returned.
    virtual void Later(std::function<void()> step) = 0;
    // Tells the member the ID the wizard stored for the client.
    virtual void ShowMemberId(const std::string& memberId) = 0;
    // Says why the host cannot go on (before it exits with a failure).
    virtual void ShowFailure(const std::string& text) = 0;
    // Ends the event loop; the host then exits normally.
    virtual void Quit() = 0;
};

// How the platform's COM creates the class and registers the library.
class Activation {
public:
    virtual ~Activation() = default;
    // CoCreateInstance(CLSIDFromProgID(kRegEngineProgId)) for _RegEngine.
    virtual HRESULT Create(void** engine) = 0;
    // The library's DllRegisterServer: empty when it succeeded, else why not.
    virtual std::string RegisterLibrary() = 0;
    // The library registered when the class is not, as messages name it.
    virtual std::string LibraryName() const = 0;
};

// "0x80040154".
std::string HresultText(HRESULT hr);

// Whether `hr` from creating the class says it is not registered (or its
// library is gone), so that registering the library may help.
bool IsUnregistered(HRESULT hr);

// The member ID the wizard left in the registry for the client ("memberi"
// under the system's key); empty when there is none.
std::string StoredMemberId(platform::Registry& registry);

class HostSession;

// The host's side of the wizard's events: the object calls it through
// IDispatch::Invoke. It lives inside the session, so its count only tells COM
// that it is in use.
class EventSink final : public IDispatch {
public:
    explicit EventSink(HostSession& session) : session_(session) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    HostSession& session_;
    ULONG references_ = 0;
};

class HostSession {
public:
    HostSession(HostWindows& windows, platform::Registry& registry)
        : windows_(windows), registry_(registry)
    {
    }
    ~HostSession() { Stop(); }
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Creates the wizard and connects to its events; false, after showing
    // why, when it cannot.
    bool Start(Activation& activation);
    // Lets go of the wizard: disconnects, then releases the object.
    void Stop();

    // The wizard's events.
    void IsLoaded();
    void RegCanceled();

private:
    HRESULT Create(Activation& activation, std::string& failure);
    HRESULT Connect();

    HostWindows& windows_;
    platform::Registry& registry_;
    EventSink sink_{*this};
    _RegEngine* engine_ = nullptr;
    IConnectionPoint* events_ = nullptr;
    DWORD cookie_ = 0;
};

} // namespace regwiz::client
