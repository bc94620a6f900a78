#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

#include "RegWizard_h.h"
#include "com/connection_point.h"
#include "com/win32/module.h"
#include "regwizard/reg_engine.h"

namespace regwiz::com::win32 {

// The COM object RegEngine on Windows: the dual interface _RegEngine (its
// IDispatch half through the DLL's type library), the events __RegEngine, and
// its class information, over the same component object the C++ API uses.
// Apartment threaded: every call comes on the host's user-interface thread.
//
// Creating it starts the wizard; its last Release ends it. A host should not
// release its last reference from inside one of the object's events.
class RegEngineServer final : public _RegEngine,
                              public IConnectionPointContainer,
                              public IProvideClassInfo {
public:
    // Creates the object and asks it for `riid`; an interface it does not
    // have is refused before the wizard starts.
    static HRESULT Create(REFIID riid, void** ppv);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                            LCID lcid, DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    HRESULT STDMETHODCALLTYPE UnloadSplash() override;
    HRESULT STDMETHODCALLTYPE CancelRegistration() override;
    HRESULT STDMETHODCALLTYPE get_m_boolLogEvents(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_m_boolLogEvents(VARIANT_BOOL value) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;

private:
    // Passes the component's events on to the advised sinks.
    class Events final : public regwizard::RegEngineEvents {
    public:
        explicit Events(ConnectionPoint& point) : point_(point) {}
        void IsLoaded() override;
        void RegCanceled() override;

    private:
        ConnectionPoint& point_;
    };

    explicit RegEngineServer(ITypeInfo* typeInfo);
    ~RegEngineServer();

    IUnknown* Identity() { return static_cast<_RegEngine*>(this); }
    // A member that failed: the host's error information says why.
    HRESULT Failed(HRESULT hr) const;

    LiveObject live_;
    ULONG references_ = 1;
    ITypeInfo* typeInfo_; // _RegEngine's, from the DLL's type library
    ConnectionPoint point_;
    Events events_;
    std::string lastError_;
    // Last, so that it ends first: the wizard it ends still has its events
    // object and connection point to call until then.
    std::unique_ptr<regwizard::RegEngine> engine_;
};

} // namespace regwiz::com::win32
