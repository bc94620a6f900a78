#include "com/connection_point.h"

#include <algorithm>

#include "regwizard/com/reg_engine_names.h"

namespace regwiz::com {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer& container, const IID& events)
    : container_(container), events_(events)
{
}

// Sinks a host forgot to unadvise are let go with the object.
ConnectionPoint::~ConnectionPoint()
{
    for (const Connection& connection : connections_)
        connection.sink->Release();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    const bool known = riid == IID_IUnknown || riid == IID_IConnectionPoint;
    return GiveInterface(known ? this : nullptr, ppv);
}

ULONG ConnectionPoint::AddRef()
{
    return container_.AddRef();
}

ULONG ConnectionPoint::Release()
{
    return container_.Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID)
{
    if (pIID == nullptr)
        return E_POINTER;
    *pIID = events_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (ppCPC == nullptr)
        return E_POINTER;
    container_.AddRef();
    *ppCPC = &container_;
    return S_OK;
}

// A sink written for the events answers their interface id; a generic one
// (a script host's) may answer only IDispatch. Either way events reach it
// through IDispatch::Invoke.
IDispatch* ConnectionPoint::DispatchOf(IUnknown* sink) const
{
    void* found = nullptr;
    if (sink->QueryInterface(events_, &found) == S_OK && found != nullptr)
        return static_cast<IDispatch*>(found);
    found = nullptr;
    if (sink->QueryInterface(IID_IDispatch, &found) == S_OK && found != nullptr)
        return static_cast<IDispatch*>(found);
    return nullptr;
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie)
{
    if (pdwCookie == nullptr)
        return E_POINTER;
    *pdwCookie = 0;
    if (pUnkSink == nullptr)
        return E_POINTER;
    IDispatch* sink = DispatchOf(pUnkSink);
    if (sink == nullptr)
        return CONNECT_E_CANNOTCONNECT;
    return Guarded([&] {
        try {
            connections_.push_back({nextCookie_, sink});
        } catch (...) {
            sink->Release();
            throw;
        }
        *pdwCookie = nextCookie_++;
        return S_OK;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie)
{
    const auto found = std::find_if(connections_.begin(), connections_.end(),
                                    [&](const Connection& c) { return c.cookie == dwCookie; });
    if (found == connections_.end())
        return CONNECT_E_NOCONNECTION;
    IDispatch* sink = found->sink;
    connections_.erase(found);
    sink->Release();
    return S_OK;
}

// Enumerating connections is optional for a connection point; hosts advise
// and unadvise by cookie.
HRESULT ConnectionPoint::EnumConnections(IEnumConnections** ppEnum)
{
    if (ppEnum == nullptr)
        return E_POINTER;
    *ppEnum = nullptr;
    return E_NOTIMPL;
}

// Sinks may unadvise, or release the object, from inside an event: the list
// is copied and every sink, and the container, held until all are called.
void ConnectionPoint::Fire(DISPID event)
{
    std::vector<IDispatch*> sinks;
    for (const Connection& connection : connections_) {
        connection.sink->AddRef();
        sinks.push_back(connection.sink);
    }
    IConnectionPointContainer& container = container_;
    container.AddRef();
    for (IDispatch* sink : sinks) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT result;
        InitVariant(&result);
        sink->Invoke(event, IID_NULL, regwizard::com::kLibLcid, DISPATCH_METHOD, &none, &result,
                     nullptr, nullptr);
        ClearVariant(&result);
        sink->Release();
    }
    container.Release(); // may end the container, and this with it
}

} // namespace regwiz::com
