#pragma once

#include <vector>

#include "com/posix/object_support.h"
#include "regwizard/com/com_types.h"

namespace regwiz::com::posix {

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

// Enumerates the connection points of a container, each referenced while the
// enumerator lives.
class ConnectionPointEnum final : public IEnumConnectionPoints {
public:
    static HRESULT Create(std::vector<IConnectionPoint*> points, std::size_t position,
                          IEnumConnectionPoints** ppEnum);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, IConnectionPoint** ppCP,
                                   ULONG* pcFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** ppEnum) override;

private:
    ConnectionPointEnum(std::vector<IConnectionPoint*> points, std::size_t position);
    ~ConnectionPointEnum();

    LiveObject live_;
    ULONG references_ = 1;
    std::vector<IConnectionPoint*> points_;
    std::size_t position_;
};

} // namespace regwiz::com::posix
