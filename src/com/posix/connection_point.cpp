#include "com/posix/connection_point.h"

#include <algorithm>

#include "regwizard/com/reg_engine_com.h"

namespace regwiz::com::posix {

// ---- ConnectionPointEnum --------------------------------------------------------------------

ConnectionPointEnum::ConnectionPointEnum(std::vector<IConnectionPoint*> points,
                                         std::size_t position)
    : points_(std::move(points)), position_(position)
{
    for (IConnectionPoint* point : points_)
        point->AddRef();
}

ConnectionPointEnum::~ConnectionPointEnum()
{
    for (IConnectionPoint* point : points_)
        point->Release();
}

HRESULT ConnectionPointEnum::Create(std::vector<IConnectionPoint*> points, std::size_t position,
                                    IEnumConnectionPoints** ppEnum)
{
    if (ppEnum == nullptr)
        return E_POINTER;
    *ppEnum = nullptr;
    return Guarded([&] {
        *ppEnum = new ConnectionPointEnum(std::move(points), position);
        return S_OK;
    });
}

HRESULT ConnectionPointEnum::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    const bool known = riid == IID_IUnknown || riid == IID_IEnumConnectionPoints;
    return GiveInterface(known ? this : nullptr, ppv);
}

ULONG ConnectionPointEnum::AddRef()
{
    return ++references_;
}

ULONG ConnectionPointEnum::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

// pcFetched may be null only when asking for one.
HRESULT ConnectionPointEnum::Next(ULONG cConnections, IConnectionPoint** ppCP, ULONG* pcFetched)
{
    if (ppCP == nullptr || (pcFetched == nullptr && cConnections != 1))
        return E_POINTER;
    ULONG fetched = 0;
    for (; fetched < cConnections && position_ < points_.size(); ++fetched, ++position_) {
        ppCP[fetched] = points_[position_];
        ppCP[fetched]->AddRef();
    }
    if (pcFetched != nullptr)
        *pcFetched = fetched;
    return fetched == cConnections ? S_OK : S_FALSE;
}

HRESULT ConnectionPointEnum::Skip(ULONG cConnections)
{
    const std::size_t left = points_.size() - position_;
    position_ += std::min<std::size_t>(cConnections, left);
    return cConnections <= left ? S_OK : S_FALSE;
}

HRESULT ConnectionPointEnum::Reset()
{
    position_ = 0;
    return S_OK;
}

HRESULT ConnectionPointEnum::Clone(IEnumConnectionPoints** ppEnum)
{
    return Create(points_, position_, ppEnum);
}

} // namespace regwiz::com::posix
