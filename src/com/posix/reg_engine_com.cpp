#include "com/posix/reg_engine_com.h"

#include <cstring>
#include <optional>

namespace regwiz::com::posix {
namespace {

char16_t FoldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Automation names ignore case; the members' names are all ASCII.
bool SameName(const OLECHAR* wide, const char* ascii)
{
    std::size_t i = 0;
    for (; ascii[i] != '\0'; ++i)
        if (FoldAscii(wide[i]) != FoldAscii(static_cast<char16_t>(ascii[i])))
            return false;
    return wide[i] == u'\0';
}

std::optional<DISPID> MemberId(const OLECHAR* name)
{
    if (name == nullptr)
        return std::nullopt;
    for (const regwizard::com::NamedDispId& member : regwizard::com::kRegEngineMembers)
        if (SameName(name, member.name))
            return member.id;
    return std::nullopt;
}

// What a host may pass for a Boolean, as VariantChangeType would convert it:
// a Boolean or a whole number (VB's Integer or Long), directly or by reference.
std::optional<bool> AsBoolean(const VARIANT& value, bool viaReference = false)
{
    switch (value.vt) {
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE;
    case VT_I2:
        return value.iVal != 0;
    case VT_I4:
        return value.lVal != 0;
    case VT_BYREF | VT_BOOL:
        return value.pboolVal != nullptr ? std::optional(*value.pboolVal != VARIANT_FALSE)
                                         : std::nullopt;
    case VT_BYREF | VT_I4:
        return value.plVal != nullptr ? std::optional(*value.plVal != 0) : std::nullopt;
    case VT_BYREF | VT_VARIANT:
        // A variant by reference never points at another one by reference.
        if (viaReference || value.pvarVal == nullptr)
            return std::nullopt;
        return AsBoolean(*value.pvarVal, true);
    default:
        return std::nullopt;
    }
}

bool WellFormed(const DISPPARAMS& params)
{
    return params.cNamedArgs <= params.cArgs && (params.cArgs == 0 || params.rgvarg != nullptr)
           && (params.cNamedArgs == 0 || params.rgdispidNamedArgs != nullptr);
}

} // namespace

// ---- Life -----------------------------------------------------------------------------------

RegEngineCom::RegEngineCom()
    : point_(*this, DIID___RegEngine), events_(point_),
      engine_(std::make_unique<regwizard::RegEngine>(&events_))
{
}

RegEngineCom::~RegEngineCom() = default;

HRESULT RegEngineCom::Create(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    const bool known = riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__RegEngine
                       || riid == IID_IConnectionPointContainer;
    if (!known)
        return E_NOINTERFACE;
    return Guarded([&] {
        auto* object = new RegEngineCom();
        const HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    });
}

HRESULT RegEngineCom::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    IUnknown* found = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__RegEngine)
        found = Identity();
    else if (riid == IID_IConnectionPointContainer)
        found = static_cast<IConnectionPointContainer*>(this);
    return GiveInterface(found, ppv);
}

ULONG RegEngineCom::AddRef()
{
    return ++references_;
}

ULONG RegEngineCom::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

// ---- IDispatch ------------------------------------------------------------------------------

// The object carries no type information; hosts bind by name or by the
// dispatch ids, which never change.
HRESULT RegEngineCom::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT RegEngineCom::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo == nullptr)
        return E_POINTER;
    *ppTInfo = nullptr;
    return E_NOTIMPL;
}

// Only the first name is a member's; the others would name its parameters,
// and no member has any.
HRESULT RegEngineCom::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                    DISPID* rgDispId)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (rgszNames == nullptr || rgDispId == nullptr)
        return E_POINTER;
    if (cNames == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    const std::optional<DISPID> id = MemberId(rgszNames[0]);
    if (!id)
        return DISP_E_UNKNOWNNAME;
    rgDispId[0] = *id;
    return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT RegEngineCom::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                             DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                             UINT* puArgErr)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (pDispParams == nullptr || !WellFormed(*pDispParams))
        return E_INVALIDARG;
    // The host may let go of the object in an event this call raises.
    AddRef();
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    switch (dispIdMember) {
    case DISPID_RegEngine_UnloadSplash:
        hr = InvokeMethod(&RegEngineCom::UnloadSplash, wFlags, *pDispParams, pExcepInfo);
        break;
    case DISPID_RegEngine_CancelRegistration:
        hr = InvokeMethod(&RegEngineCom::CancelRegistration, wFlags, *pDispParams, pExcepInfo);
        break;
    case DISPID_RegEngine_m_boolLogEvents:
        hr = InvokeLogSwitch(wFlags, *pDispParams, pVarResult, puArgErr);
        break;
    default:
        break;
    }
    Release();
    return hr;
}

// Methods answer DISPATCH_METHOD; VB also asks with DISPATCH_PROPERTYGET added
// when it cannot tell a method from a property.
HRESULT RegEngineCom::InvokeMethod(HRESULT (RegEngineCom::*method)(), WORD flags,
                                   const DISPPARAMS& params, EXCEPINFO* info)
{
    if ((flags & DISPATCH_METHOD) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (params.cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    const HRESULT hr = (this->*method)();
    return FAILED(hr) ? Failed(hr, info) : hr;
}

// The new value comes as the one argument, named DISPID_PROPERTYPUT.
HRESULT RegEngineCom::InvokeLogSwitch(WORD flags, const DISPPARAMS& params, VARIANT* result,
                                      UINT* argError)
{
    if ((flags & DISPATCH_PROPERTYPUT) != 0) {
        if (params.cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
        const std::optional<bool> on = AsBoolean(params.rgvarg[0]);
        if (!on) {
            if (argError != nullptr)
                *argError = 0;
            return DISP_E_TYPEMISMATCH;
        }
        return put_m_boolLogEvents(*on ? VARIANT_TRUE : VARIANT_FALSE);
    }
    if ((flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (params.cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    if (result == nullptr)
        return S_OK;
    RwVariantInit(result);
    result->vt = VT_BOOL;
    return get_m_boolLogEvents(&result->boolVal);
}

// A member that failed: DISP_E_EXCEPTION, with what went wrong in `info`.
HRESULT RegEngineCom::Failed(HRESULT hr, EXCEPINFO* info) const
{
    if (info != nullptr) {
        *info = EXCEPINFO{};
        info->bstrSource = MakeBstr(kRegEngineProgId);
        info->bstrDescription =
            MakeBstr(lastError_.empty() ? "The registration wizard failed." : lastError_);
        info->scode = hr;
    }
    return DISP_E_EXCEPTION;
}

// ---- _RegEngine -----------------------------------------------------------------------------

HRESULT RegEngineCom::UnloadSplash()
{
    return Guarded(
        [&] {
            engine_->UnloadSplash();
            return S_OK;
        },
        &lastError_);
}

HRESULT RegEngineCom::CancelRegistration()
{
    return Guarded(
        [&] {
            engine_->CancelRegistration();
            return S_OK;
        },
        &lastError_);
}

HRESULT RegEngineCom::get_m_boolLogEvents(VARIANT_BOOL* value)
{
    if (value == nullptr)
        return E_POINTER;
    *value = engine_->m_boolLogEvents() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RegEngineCom::put_m_boolLogEvents(VARIANT_BOOL value)
{
    engine_->m_boolLogEvents(value != VARIANT_FALSE);
    return S_OK;
}

// ---- IConnectionPointContainer --------------------------------------------------------------

HRESULT RegEngineCom::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    return ConnectionPointEnum::Create({&point_}, 0, ppEnum);
}

HRESULT RegEngineCom::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP)
{
    if (ppCP == nullptr)
        return E_POINTER;
    *ppCP = nullptr;
    if (riid != point_.Events())
        return CONNECT_E_NOCONNECTION;
    point_.AddRef();
    *ppCP = &point_;
    return S_OK;
}

// ---- Events ---------------------------------------------------------------------------------

void RegEngineCom::Events::IsLoaded()
{
    point_.Fire(DISPID_RegEngineEvents_IsLoaded);
}

void RegEngineCom::Events::RegCanceled()
{
    point_.Fire(DISPID_RegEngineEvents_RegCanceled);
}

} // namespace regwiz::com::posix
