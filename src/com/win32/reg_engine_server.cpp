#include "com/win32/reg_engine_server.h"

#include <algorithm>

#include "regwizard/com/reg_engine_names.h"

namespace regwiz::com::win32 {
namespace {

bool Same(REFGUID a, REFGUID b)
{
    return ::IsEqualGUID(a, b) != FALSE;
}

// Enumerates the object's one connection point, referenced while it lives.
class PointEnum final : public IEnumConnectionPoints {
public:
    PointEnum(IConnectionPoint& point, ULONG position) : point_(point), position_(position)
    {
        point_.AddRef();
    }
    PointEnum(const PointEnum&) = delete;
    PointEnum& operator=(const PointEnum&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        const bool known = Same(riid, IID_IUnknown) || Same(riid, IID_IEnumConnectionPoints);
        return GiveInterface(known ? this : nullptr, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // pcFetched may be null only when asking for one.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override
    {
        if (points == nullptr || (fetched == nullptr && count != 1))
            return E_POINTER;
        ULONG given = 0;
        if (count > 0 && position_ == 0) {
            points[given++] = &point_;
            point_.AddRef();
            position_ = 1;
        }
        if (fetched != nullptr)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const ULONG left = 1 - position_;
        position_ += std::min(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** copy) override
    {
        if (copy == nullptr)
            return E_POINTER;
        return Guarded([&] {
            *copy = new PointEnum(point_, position_);
            return S_OK;
        });
    }

private:
    ~PointEnum() { point_.Release(); }

    LiveObject live_;
    ULONG references_ = 1;
    IConnectionPoint& point_;
    ULONG position_;
};

} // namespace

// ---- Life -----------------------------------------------------------------------------------

RegEngineServer::RegEngineServer(ITypeInfo* typeInfo)
    : typeInfo_(typeInfo), point_(*this, DIID___RegEngine), events_(point_),
      engine_(std::make_unique<regwizard::RegEngine>(&events_))
{
    typeInfo_->AddRef();
}

RegEngineServer::~RegEngineServer()
{
    engine_.reset();
    typeInfo_->Release();
}

HRESULT RegEngineServer::Create(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    const bool known = Same(riid, IID_IUnknown) || Same(riid, IID_IDispatch)
                       || Same(riid, IID__RegEngine) || Same(riid, IID_IConnectionPointContainer)
                       || Same(riid, IID_IProvideClassInfo);
    if (!known)
        return E_NOINTERFACE;
    // Without its type library the object could not answer IDispatch.
    ITypeInfo* typeInfo = nullptr;
    HRESULT hr = LoadOwnTypeInfo(IID__RegEngine, &typeInfo);
    if (FAILED(hr))
        return hr;
    hr = Guarded([&] {
        auto* object = new RegEngineServer(typeInfo);
        const HRESULT given = object->QueryInterface(riid, ppv);
        object->Release();
        return given;
    });
    typeInfo->Release();
    return hr;
}

HRESULT RegEngineServer::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    IUnknown* found = nullptr;
    if (Same(riid, IID_IUnknown) || Same(riid, IID_IDispatch) || Same(riid, IID__RegEngine))
        found = Identity();
    else if (Same(riid, IID_IConnectionPointContainer))
        found = static_cast<IConnectionPointContainer*>(this);
    else if (Same(riid, IID_IProvideClassInfo))
        found = static_cast<IProvideClassInfo*>(this);
    return GiveInterface(found, ppv);
}

ULONG RegEngineServer::AddRef()
{
    return ++references_;
}

ULONG RegEngineServer::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

// ---- IDispatch, through the type library ----------------------------------------------------

HRESULT RegEngineServer::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

HRESULT RegEngineServer::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo == nullptr)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    typeInfo_->AddRef();
    *ppTInfo = typeInfo_;
    return S_OK;
}

// Names are found as automation finds them: without regard to case.
HRESULT RegEngineServer::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                       DISPID* rgDispId)
{
    if (!Same(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (rgszNames == nullptr || rgDispId == nullptr)
        return E_POINTER;
    return ::DispGetIDsOfNames(typeInfo_, rgszNames, cNames, rgDispId);
}

HRESULT RegEngineServer::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                UINT* puArgErr)
{
    if (!Same(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (pDispParams == nullptr)
        return E_INVALIDARG;
    // The host may let go of the object in an event this call raises.
    AddRef();
    const HRESULT hr = ::DispInvoke(static_cast<_RegEngine*>(this), typeInfo_, dispIdMember, wFlags,
                                    pDispParams, pVarResult, pExcepInfo, puArgErr);
    Release();
    return hr;
}

// The failure's description goes to the thread's error information, which
// automation turns into the host's EXCEPINFO.
HRESULT RegEngineServer::Failed(HRESULT hr) const
{
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        const std::wstring source = Widen(regwizard::com::kRegEngineProgId);
        const std::wstring text =
            Widen(lastError_.empty() ? "The registration wizard failed." : lastError_);
        create->SetGUID(IID__RegEngine);
        create->SetSource(const_cast<LPOLESTR>(source.c_str()));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            ::SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return hr;
}

// ---- _RegEngine -----------------------------------------------------------------------------

HRESULT RegEngineServer::UnloadSplash()
{
    const HRESULT hr = Guarded(
        [&] {
            engine_->UnloadSplash();
            return S_OK;
        },
        &lastError_);
    return FAILED(hr) ? Failed(hr) : hr;
}

HRESULT RegEngineServer::CancelRegistration()
{
    const HRESULT hr = Guarded(
        [&] {
            engine_->CancelRegistration();
            return S_OK;
        },
        &lastError_);
    return FAILED(hr) ? Failed(hr) : hr;
}

HRESULT RegEngineServer::get_m_boolLogEvents(VARIANT_BOOL* value)
{
    if (value == nullptr)
        return E_POINTER;
    *value = engine_->m_boolLogEvents() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RegEngineServer::put_m_boolLogEvents(VARIANT_BOOL value)
{
    engine_->m_boolLogEvents(value != VARIANT_FALSE);
    return S_OK;
}

// ---- IConnectionPointContainer, IProvideClassInfo -------------------------------------------

HRESULT RegEngineServer::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    if (ppEnum == nullptr)
        return E_POINTER;
    *ppEnum = nullptr;
    return Guarded([&] {
        *ppEnum = new PointEnum(point_, 0);
        return S_OK;
    });
}

HRESULT RegEngineServer::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP)
{
    if (ppCP == nullptr)
        return E_POINTER;
    *ppCP = nullptr;
    if (!Same(riid, DIID___RegEngine))
        return CONNECT_E_NOCONNECTION;
    point_.AddRef();
    *ppCP = &point_;
    return S_OK;
}

HRESULT RegEngineServer::GetClassInfo(ITypeInfo** ppTI)
{
    if (ppTI == nullptr)
        return E_POINTER;
    return LoadOwnTypeInfo(CLSID_RegEngine, ppTI);
}

// ---- Events ---------------------------------------------------------------------------------

void RegEngineServer::Events::IsLoaded()
{
    point_.Fire(regwizard::com::kDispIdIsLoaded);
}

void RegEngineServer::Events::RegCanceled()
{
    point_.Fire(regwizard::com::kDispIdRegCanceled);
}

} // namespace regwiz::com::win32
