#pragma once

// The COM binary types a host and the component share, as the Windows SDK
// declares them (names, field order, sizes, vtable order), so that code using
// them builds against <objbase.h>/<oaidl.h>/<ocidl.h> unchanged on Windows.
// Only what the component's contract needs is here.
//
// Interfaces are abstract structs whose only data is the vtable pointer; their
// virtual functions appear in the vtable in declaration order, base interface
// first, which is the COM layout on the Itanium C++ ABI as long as no
// interface has a virtual destructor (that would add two slots). A C host can
// therefore call through `obj->lpVtbl[n]` with the object as first argument.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// The calling convention of interface methods and exported entry points: the
// platform's own one on Linux (__stdcall only exists on 32-bit Windows).
#ifndef STDMETHODCALLTYPE
#define STDMETHODCALLTYPE
#endif
#ifndef STDAPICALLTYPE
#define STDAPICALLTYPE
#endif

// ---- Scalar types ---------------------------------------------------------------------------
// Windows' LONG and ULONG are 32 bits even where C's long is 64.

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT = int;
using UINT = unsigned int;
using BOOL = int;
using HRESULT = LONG;
using SCODE = LONG;
using DISPID = LONG;
using MEMBERID = DISPID;
using LCID = DWORD;
using VARTYPE = USHORT;
using PVOID = void*;

// Automation text is UTF-16 on every platform; char16_t has that width here,
// where wchar_t does not.
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// ---- GUIDs ----------------------------------------------------------------------------------

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    return a == b;
}

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;

// ---- HRESULTs -------------------------------------------------------------------------------

inline constexpr HRESULT HResult(std::uint32_t bits)
{
    return static_cast<HRESULT>(bits);
}

inline constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = HResult(0x80004002);
inline constexpr HRESULT E_POINTER = HResult(0x80004003);
inline constexpr HRESULT E_FAIL = HResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = HResult(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = HResult(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = HResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = HResult(0x80070057);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = HResult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HResult(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HResult(0x80040154);
inline constexpr HRESULT CO_E_CLASSSTRING = HResult(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = HResult(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = HResult(0x800401F9);

inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = HResult(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HResult(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = HResult(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HResult(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HResult(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = HResult(0x80020007);
inline constexpr HRESULT DISP_E_EXCEPTION = HResult(0x80020009);
inline constexpr HRESULT DISP_E_BADINDEX = HResult(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HResult(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = HResult(0x8002000F);

// Interface-specific codes (FACILITY_ITF): the same numbers mean different
// things on different interfaces.
inline constexpr HRESULT CONNECT_E_NOCONNECTION = HResult(0x80040200);
inline constexpr HRESULT CONNECT_E_ADVISELIMIT = HResult(0x80040201);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = HResult(0x80040202);
inline constexpr HRESULT SELFREG_E_TYPELIB = HResult(0x80040200);
inline constexpr HRESULT SELFREG_E_CLASS = HResult(0x80040201);

// ---- BSTR -----------------------------------------------------------------------------------
// A BSTR points at UTF-16 text that is preceded by its length in bytes (32
// bits) and followed by a NUL; a null BSTR is the empty string. These
// stand in for SysAllocString and friends, which live in oleaut32 on Windows;
// every module of a process shares the C heap here, so one module may free
// what another allocated, as with oleaut32.

using BSTR = OLECHAR*;

inline BSTR RwSysAllocStringLen(const OLECHAR* text, UINT length)
{
    const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
    auto* block =
        static_cast<unsigned char*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (block == nullptr)
        return nullptr;
    const auto prefix = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof prefix);
    if (text != nullptr && length != 0)
        std::memcpy(chars, text, bytes);
    chars[length] = u'\0';
    return chars;
}

inline BSTR RwSysAllocString(const OLECHAR* text)
{
    if (text == nullptr)
        return nullptr;
    UINT length = 0;
    while (text[length] != u'\0')
        ++length;
    return RwSysAllocStringLen(text, length);
}

inline UINT RwSysStringByteLen(BSTR text)
{
    if (text == nullptr)
        return 0;
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<unsigned char*>(text) - sizeof prefix, sizeof prefix);
    return prefix;
}

inline UINT RwSysStringLen(BSTR text)
{
    return RwSysStringByteLen(text) / sizeof(OLECHAR);
}

inline void RwSysFreeString(BSTR text)
{
    if (text != nullptr)
        std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t));
}

// ---- VARIANT --------------------------------------------------------------------------------

using VARIANT_BOOL = SHORT;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_BYREF = 0x4000,
};

struct IUnknown;
struct IDispatch;
struct IRecordInfo; // opaque: only its pointer takes room in a VARIANT

// A VT_RECORD's two pointers are the widest member of the union: they make a
// VARIANT 16 bytes on 32-bit systems and 24 on 64-bit ones.
struct BRECORD {
    PVOID pvRecord;
    IRecordInfo* pRecInfo;
};

// The SDK nests the value union in an anonymous struct (inside a union with
// DECIMAL, which is no larger); standard C++ has no anonymous structs, so the
// fields are direct members here. `v.vt` and `v.boolVal` read the same either
// way.
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        VARIANT_BOOL* pboolVal;
        LONG* plVal;
        BSTR* pbstrVal;
        VARIANT* pvarVal;
        PVOID byref;
        BRECORD brecVal;
    };
};
using VARIANTARG = VARIANT;

inline void RwVariantInit(VARIANT* v)
{
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->llVal = 0;
}

// Frees what the variant owns, for the types this header knows, and empties it.
inline HRESULT RwVariantClear(VARIANT* v);

// ---- Automation structures ------------------------------------------------------------------

struct DISPPARAMS {
    VARIANTARG* rgvarg; // the arguments, last one first
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    PVOID pvReserved;
    HRESULT(STDMETHODCALLTYPE* pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

// ---- Interfaces -----------------------------------------------------------------------------

struct ITypeInfo; // opaque: the component has no type information to hand out
struct IEnumConnections;

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                     void** ppvObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                                    LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid,
                                             WORD wFlags, DISPPARAMS* pDispParams,
                                             VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                             UINT* puArgErr) = 0;
};

struct IConnectionPoint;
struct IEnumConnectionPoints;

struct IConnectionPointContainer : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;
};

struct IConnectionPoint : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) = 0;
};

struct IEnumConnectionPoints : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, IConnectionPoint** ppCP,
                                           ULONG* pcFetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** ppEnum) = 0;
};

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000001-0000-0000-C000-000000000046}
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00020400-0000-0000-C000-000000000046}
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {B196B284-BAB4-101A-B69C-00AA00341D07}
inline constexpr IID IID_IConnectionPointContainer{
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// {B196B285-BAB4-101A-B69C-00AA00341D07}
inline constexpr IID IID_IEnumConnectionPoints{
    0xB196B285, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// {B196B286-BAB4-101A-B69C-00AA00341D07}
inline constexpr IID IID_IConnectionPoint{
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// The entry points an in-process server exports, as a host finds them by name.
using LPFNGETCLASSOBJECT = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using LPFNCANUNLOADNOW = HRESULT(STDAPICALLTYPE*)();
using LPFNREGISTERSERVER = HRESULT(STDAPICALLTYPE*)();

inline HRESULT RwVariantClear(VARIANT* v)
{
    if (v == nullptr)
        return E_INVALIDARG;
    switch (v->vt) {
    case VT_BSTR:
        RwSysFreeString(v->bstrVal);
        break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        if (v->punkVal != nullptr)
            v->punkVal->Release();
        break;
    default:
        break;
    }
    RwVariantInit(v);
    return S_OK;
}

// ---- Layout checks --------------------------------------------------------------------------

static_assert(sizeof(GUID) == 16 && alignof(GUID) == 4);
static_assert(offsetof(GUID, Data4) == 8);
static_assert(sizeof(HRESULT) == 4 && sizeof(ULONG) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(DISPID) == 4 && sizeof(LCID) == 4 && sizeof(VARIANT_BOOL) == 2);
static_assert(sizeof(OLECHAR) == 2);
static_assert(offsetof(VARIANT, vt) == 0 && offsetof(VARIANT, wReserved3) == 6);
static_assert(offsetof(VARIANT, lVal) == 8 && offsetof(VARIANT, boolVal) == 8);
static_assert(sizeof(VARIANT) == (sizeof(void*) == 8 ? 24 : 16));
static_assert(alignof(VARIANT) == 8);
static_assert(sizeof(DISPPARAMS) == 2 * sizeof(void*) + 8);
static_assert(sizeof(EXCEPINFO) == (sizeof(void*) == 8 ? 64 : 32));
static_assert(offsetof(EXCEPINFO, scode) == (sizeof(void*) == 8 ? 56 : 28));
static_assert(sizeof(IUnknown) == sizeof(void*), "an interface is its vtable pointer");
