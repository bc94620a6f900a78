#pragma once

#include <vector>

#include "com/connection_point.h"
#include "com/posix/object_support.h"
#include "regwizard/com/com_types.h"

namespace regwiz::com::posix {

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
