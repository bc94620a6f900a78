#pragma once

// The component's binary contract, as a host sees it through COM: the
// identities of its type library, class and interfaces, the dispatch ids of
// its members and the entry points the library exports. Hosts bind to these
// numbers, never to the C++ API, so none of them may ever change.
//
// The names follow what MIDL generates from RegWizard.idl (`_RegEngine`,
// `DIID___RegEngine`, ...), so a host written against that output reads the
// same here.

#include "regwizard/com/com_types.h"
#include "regwizard/com/reg_engine_names.h"

// Type library RegWizard 1.1, locale 1033.
// {D4E6CBD2-016B-11D3-AF9D-00A0245356AA}
inline constexpr GUID LIBID_RegWizard{
    0xD4E6CBD2, 0x016B, 0x11D3, {0xAF, 0x9D, 0x00, 0xA0, 0x24, 0x53, 0x56, 0xAA}};
inline constexpr WORD kRegWizardLibMajor = regwizard::com::kLibMajor;
inline constexpr WORD kRegWizardLibMinor = regwizard::com::kLibMinor;
inline constexpr LCID kRegWizardLcid = regwizard::com::kLibLcid;

// Coclass RegEngine, "RegWizard.RegEngine".
// {D4E6CBD4-016B-11D3-AF9D-00A0245356AA}
inline constexpr CLSID CLSID_RegEngine{
    0xD4E6CBD4, 0x016B, 0x11D3, {0xAF, 0x9D, 0x00, 0xA0, 0x24, 0x53, 0x56, 0xAA}};
using regwizard::com::kRegEngineProgId;

// The default interface, dual. {63A712EB-11F1-11D3-8739-00104B7930FA}
inline constexpr IID IID__RegEngine{
    0x63A712EB, 0x11F1, 0x11D3, {0x87, 0x39, 0x00, 0x10, 0x4B, 0x79, 0x30, 0xFA}};

// The events, a dispinterface. {63A712EC-11F1-11D3-8739-00104B7930FA}
inline constexpr IID DIID___RegEngine{
    0x63A712EC, 0x11F1, 0x11D3, {0x87, 0x39, 0x00, 0x10, 0x4B, 0x79, 0x30, 0xFA}};

// Members of _RegEngine.
inline constexpr DISPID DISPID_RegEngine_UnloadSplash = regwizard::com::kDispIdUnloadSplash;
inline constexpr DISPID DISPID_RegEngine_CancelRegistration =
    regwizard::com::kDispIdCancelRegistration;
inline constexpr DISPID DISPID_RegEngine_m_boolLogEvents = regwizard::com::kDispIdLogEvents;

// Events of __RegEngine; neither has arguments.
inline constexpr DISPID DISPID_RegEngineEvents_IsLoaded = regwizard::com::kDispIdIsLoaded;
inline constexpr DISPID DISPID_RegEngineEvents_RegCanceled = regwizard::com::kDispIdRegCanceled;

// The dual interface: its vtable continues IDispatch's with the members in
// this order, the property's get before its put.
struct _RegEngine : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE UnloadSplash() = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelRegistration() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_m_boolLogEvents(VARIANT_BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_m_boolLogEvents(VARIANT_BOOL value) = 0;
};

// The library's exports, found by name with dlsym.
extern "C" {
HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
HRESULT STDAPICALLTYPE DllCanUnloadNow();
HRESULT STDAPICALLTYPE DllRegisterServer();
HRESULT STDAPICALLTYPE DllUnregisterServer();
}
