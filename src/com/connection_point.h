#pragma once

#include <vector>

#include "com/server_support.h"

namespace regwiz::com {

// The one connection point of a connectable object: it keeps the sinks hosts
// advise and calls each of them for an event. It is part of its container:
// counting references to it counts references to the container, which it
// needs alive anyway.
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer& container, const IID& events);
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

    const IID& Events() const { return events_; }
    // Calls every sink advised now, in the order they came, with no arguments.
    void Fire(DISPID event);

private:
    struct Connection {
        DWORD cookie;
        IDispatch* sink;
    };

    IDispatch* DispatchOf(IUnknown* sink) const;

    IConnectionPointContainer& container_;
    IID events_;
    std::vector<Connection> connections_;
    DWORD nextCookie_ = 1;
};

} // namespace regwiz::com
