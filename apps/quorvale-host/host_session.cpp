#include "host_session.h"

#include <cstdint>
#include <cstdio>
#include <iostream>

#include "platform/codepage.h"
#include "store/globals.h"

namespace regwiz::client {

std::string HresultText(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

bool IsUnregistered(HRESULT hr)
{
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG || hr == CO_E_DLLNOTFOUND;
}

std::string StoredMemberId(platform::Registry& registry)
{
    using namespace platform;
    KeyHandle key = 0;
    if (registry.OpenKey(Hive::LocalMachine, kSystemKey, KeyAccess::QueryValue, key) != 0)
        return {};
    std::uint8_t data[256];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof data;
    const long status = registry.QueryValue(key, "memberi", type, data, size);
    registry.CloseKey(key);
    if (status != 0 || type != regtype::Sz || size == 0)
        return {};
    std::string text(reinterpret_cast<const char*>(data), size);
    if (text.back() == '\0')
        text.pop_back();
    return FromAnsi(text);
}

HRESULT EventSink::QueryInterface(REFIID riid, void** ppv)
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

HRESULT EventSink::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                          UINT*)
{
    if (event == regwizard::com::kDispIdIsLoaded)
        session_.IsLoaded();
    else if (event == regwizard::com::kDispIdRegCanceled)
        session_.RegCanceled();
    else
        return DISP_E_MEMBERNOTFOUND;
    return S_OK;
}

void HostSession::IsLoaded()
{
    std::cout << "quorvale-host: the wizard is ready" << std::endl;
    windows_.CloseSplash();
}

void HostSession::RegCanceled()
{
    std::cout << "quorvale-host: the wizard is over" << std::endl;
    // Released from the event loop, not from inside the wizard's own event.
    windows_.Later([this] {
        Stop();
        const std::string memberId = StoredMemberId(registry_);
        if (!memberId.empty()) {
            std::cout << "quorvale-host: member ID " << memberId << std::endl;
            windows_.ShowMemberId(memberId);
        }
        windows_.Quit();
    });
}

// A machine where the class was never registered (or its library moved) gets
// the host's own library registered first.
HRESULT HostSession::Create(Activation& activation, std::string& failure)
{
    void* object = nullptr;
    HRESULT hr = activation.Create(&object);
    if (IsUnregistered(hr)) {
        std::cout << "quorvale-host: " << regwizard::com::kRegEngineProgId
                  << " is not registered; registering " << activation.LibraryName() << std::endl;
        const std::string error = activation.RegisterLibrary();
        if (!error.empty()) {
            failure = "cannot register " + activation.LibraryName() + ": " + error;
            return hr;
        }
        hr = activation.Create(&object);
    }
    engine_ = static_cast<_RegEngine*>(object);
    return hr;
}

HRESULT HostSession::Connect()
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

bool HostSession::Start(Activation& activation)
{
    std::string failure;
    HRESULT hr = Create(activation, failure);
    if (SUCCEEDED(hr)) {
        hr = Connect();
        if (FAILED(hr))
            failure = std::string("cannot connect to the events of ")
                      + regwizard::com::kRegEngineProgId + ": " + HresultText(hr);
    } else if (failure.empty()) {
        failure = std::string("cannot create ") + regwizard::com::kRegEngineProgId + ": "
                  + HresultText(hr);
    }
    if (!failure.empty()) {
        std::cerr << "quorvale-host: " << failure << std::endl;
        windows_.ShowFailure(failure);
        Stop();
        return false;
    }
    return true;
}

void HostSession::Stop()
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

} // namespace regwiz::client
