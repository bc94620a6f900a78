// RegWizard.dll as hosts meet it under wine: self-registration by regsvr32,
// the type library hosts bind to, the class object, and the object itself
// (the last only where the DLL runs the wizard on the Windows platform).
#include <gtest/gtest.h>

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "RegWizard_h.h"
#include "RegWizard_i.c"
#include "com_server_support.h"
#include "regwizard/com/reg_engine_names.h"

namespace regwiz::test {
namespace {

namespace names = regwizard::com;

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[64];
    ::StringFromGUID2(guid, text, 64);
    return text;
}

const std::wstring kClassKey = L"CLSID\\" + Wide(names::kRegEngineClsidText);
const std::wstring kProgIdKey = Wide(names::kRegEngineProgId);
const std::wstring kTypeLibKey = L"TypeLib\\" + Wide(names::kLibIdText);
const std::wstring kInterfaceKey = L"Interface\\" + Wide(names::kRegEngineIidText);
const std::wstring kEventsKey = L"Interface\\" + Wide(names::kRegEngineEventsIidText);

// Every key registration creates; none may be left once it is undone.
std::vector<std::wstring> OurKeys()
{
    return {kClassKey, kProgIdKey, kTypeLibKey, kInterfaceKey, kEventsKey};
}

std::vector<std::wstring> ExistingOf(const std::vector<std::wstring>& keys)
{
    std::vector<std::wstring> existing;
    for (const std::wstring& key : keys)
        if (KeyExists(key))
            existing.push_back(key);
    return existing;
}

TEST(ComServer, IdentitiesOfTheTypeLibrarySourceAreTheContracts)
{
    EXPECT_EQ(GuidText(CLSID_RegEngine), Wide(names::kRegEngineClsidText));
    EXPECT_EQ(GuidText(LIBID_RegWizard), Wide(names::kLibIdText));
    EXPECT_EQ(GuidText(IID__RegEngine), Wide(names::kRegEngineIidText));
    EXPECT_EQ(GuidText(DIID___RegEngine), Wide(names::kRegEngineEventsIidText));
}

TEST(ComServer, Regsvr32RegistersTheClassAndTypeLibraryAndUnregistersExactlyThat)
{
    ASSERT_EQ(ExistingOf(OurKeys()), std::vector<std::wstring>{}) << "a fresh prefix";
    ASSERT_EQ(Regsvr32(L"/s"), 0u);

    EXPECT_EQ(ReadText(kClassKey + L"\\InprocServer32", L""), DllPath());
    EXPECT_EQ(ReadText(kClassKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ReadText(kClassKey + L"\\ProgID", L""), kProgIdKey);
    EXPECT_EQ(ReadText(kClassKey + L"\\TypeLib", L""), Wide(names::kLibIdText));
    EXPECT_EQ(ReadText(kClassKey + L"\\Version", L""), Wide(names::kLibVersionText));
    EXPECT_EQ(ReadText(kProgIdKey + L"\\CLSID", L""), Wide(names::kRegEngineClsidText));
    EXPECT_TRUE(KeyExists(kTypeLibKey + L"\\" + Wide(names::kLibVersionText)));
    EXPECT_EQ(ReadText(kInterfaceKey + L"\\TypeLib", L""), Wide(names::kLibIdText));
    EXPECT_EQ(ReadText(kEventsKey, L""), L"__RegEngine");

    EXPECT_EQ(Regsvr32(L"/u /s"), 0u);
    EXPECT_EQ(ExistingOf(OurKeys()), std::vector<std::wstring>{});
    EXPECT_EQ(Regsvr32(L"/u /s"), 0u) << "what is already gone is no failure";

    // Someone else's subkey under the class's key stays, and so does the key.
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const std::wstring foreign = kClassKey + L"\\Implemented Categories";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, foreign.c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(Regsvr32(L"/u /s"), 0u);
    EXPECT_TRUE(KeyExists(foreign));
    EXPECT_FALSE(KeyExists(kClassKey + L"\\InprocServer32"));
    EXPECT_FALSE(KeyExists(kProgIdKey));
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, foreign.c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey.c_str());
}

// The registered type library, as a host's tools read it.
TEST(ComServer, TypeLibraryNamesTheInterfacesAndTheirDispatchIds)
{
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    ITypeLib* library = nullptr;
    // RegisterTypeLib files it under the library's own locale.
    ASSERT_EQ(::LoadRegTypeLib(LIBID_RegWizard, names::kLibMajor, names::kLibMinor, names::kLibLcid,
                               &library),
              S_OK);

    struct Described {
        REFGUID guid;
        const wchar_t* name;
        const names::NamedDispId* first;
        const names::NamedDispId* last;
    };
    const Described described[] = {
        {IID__RegEngine, L"_RegEngine", std::begin(names::kRegEngineMembers),
         std::end(names::kRegEngineMembers)},
        {DIID___RegEngine, L"__RegEngine", std::begin(names::kRegEngineEvents),
         std::end(names::kRegEngineEvents)},
    };
    for (const Described& item : described) {
        ITypeInfo* info = nullptr;
        ASSERT_EQ(library->GetTypeInfoOfGuid(item.guid, &info), S_OK) << item.name;
        BSTR name = nullptr;
        ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
        EXPECT_EQ(std::wstring(name), item.name);
        ::SysFreeString(name);
        for (const names::NamedDispId* member = item.first; member != item.last; ++member) {
            std::wstring text = Wide(member->name);
            LPOLESTR one = text.data();
            MEMBERID id = 0;
            EXPECT_EQ(info->GetIDsOfNames(&one, 1, &id), S_OK) << member->name;
            EXPECT_EQ(id, member->id) << member->name;
        }
        info->Release();
    }

    // Dual: scripting hosts reach _RegEngine's members through IDispatch.
    ITypeInfo* engine = nullptr;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID__RegEngine, &engine), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(engine->GetTypeAttr(&attributes), S_OK);
    EXPECT_NE(attributes->wTypeFlags & TYPEFLAG_FDUAL, 0);
    engine->ReleaseTypeAttr(attributes);
    std::wstring upper = L"M_BOOLLOGEVENTS";
    LPOLESTR names_[] = {upper.data()};
    DISPID id = 0;
    EXPECT_EQ(::DispGetIDsOfNames(engine, names_, 1, &id), S_OK) << "names ignore case";
    EXPECT_EQ(id, names::kDispIdLogEvents);
    engine->Release();
    library->Release();
    EXPECT_EQ(Regsvr32(L"/u /s"), 0u);
}

// ---- The DLL loaded in this process ---------------------------------------------------------

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class LoadedServer : public testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module_ = ::LoadLibraryW(DllPath().c_str());
        ASSERT_NE(module_, nullptr);
        getClassObject_ = Entry<GetClassObjectFn>("DllGetClassObject");
        canUnloadNow_ = Entry<CanUnloadNowFn>("DllCanUnloadNow");
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    void TearDown() override { ::CoUninitialize(); }

    template <class Function> Function Entry(const char* name)
    {
        // Through void(*)(), which converts to any function pointer quietly.
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module_, name)));
    }

    IClassFactory* Factory()
    {
        void* factory = nullptr;
        EXPECT_EQ(getClassObject_(CLSID_RegEngine, IID_IClassFactory, &factory), S_OK);
        return static_cast<IClassFactory*>(factory);
    }

    HMODULE module_ = nullptr;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

TEST_F(LoadedServer, ClassObjectServesOnlyRegEngineAndKeepsTheDllInUse)
{
    void* found = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, &found), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(getClassObject_(CLSID_RegEngine, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(canUnloadNow_(), S_OK);

    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a class object is in use";
    EXPECT_EQ(factory->QueryInterface(IID_IDispatch, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);

    EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &found), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &found), E_NOINTERFACE)
        << "refused before the wizard starts";
    EXPECT_EQ(found, nullptr);

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "locked";
    factory = Factory();
    factory->LockServer(FALSE);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK) << "an extra unlock is ignored";
}

#ifdef REGWIZ_DLL_STARTS_WIZARD
TEST_F(LoadedServer, ObjectAnswersItsInterfacesAndIDispatchThroughTheTypeLibrary)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* created = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID__RegEngine, &created), S_OK);
    factory->Release();
    auto* engine = static_cast<_RegEngine*>(created);

    void* found = nullptr;
    for (REFIID iid : {IID_IUnknown, IID_IDispatch, IID__RegEngine}) {
        ASSERT_EQ(engine->QueryInterface(iid, &found), S_OK);
        EXPECT_EQ(found, engine) << "one identity";
        static_cast<IUnknown*>(found)->Release();
    }
    ASSERT_EQ(engine->QueryInterface(IID_IConnectionPointContainer, &found), S_OK);
    auto* container = static_cast<IConnectionPointContainer*>(found);
    EXPECT_EQ(engine->AddRef(), 3u);
    EXPECT_EQ(engine->Release(), 2u);
    EXPECT_EQ(engine->QueryInterface(IID_IClassFactory, &found), E_NOINTERFACE);
    ASSERT_EQ(engine->QueryInterface(IID_IProvideClassInfo, &found), S_OK);
    ITypeInfo* coclass = nullptr;
    ASSERT_EQ(static_cast<IProvideClassInfo*>(found)->GetClassInfo(&coclass), S_OK);
    static_cast<IProvideClassInfo*>(found)->Release();
    BSTR className = nullptr;
    EXPECT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &className, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(std::wstring(className), Wide(names::kRegEngineClassName));
    ::SysFreeString(className);
    coclass->Release();

    IConnectionPoint* point = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &point), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(DIID___RegEngine, &point), S_OK);
    IID events{};
    EXPECT_EQ(point->GetConnectionInterface(&events), S_OK);
    EXPECT_TRUE(::IsEqualGUID(events, DIID___RegEngine));
    EXPECT_EQ(point->Unadvise(42), CONNECT_E_NOCONNECTION);
    point->Release();
    container->Release();

    std::wstring name = L"m_BoolLogEvents";
    LPOLESTR one = name.data();
    DISPID id = 0;
    EXPECT_EQ(engine->GetIDsOfNames(IID_IDispatch, &one, 1, 1033, &id), DISP_E_UNKNOWNINTERFACE);
    ASSERT_EQ(engine->GetIDsOfNames(IID_NULL, &one, 1, 1033, &id), S_OK);
    EXPECT_EQ(id, names::kDispIdLogEvents);
    std::wstring unknown = L"Unload";
    one = unknown.data();
    EXPECT_EQ(engine->GetIDsOfNames(IID_NULL, &one, 1, 1033, &id), DISP_E_UNKNOWNNAME);

    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_I4; // converted as automation converts: a whole number is a Boolean
    value.lVal = 1;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    EXPECT_EQ(engine->Invoke(names::kDispIdLogEvents, IID_NULL, 1033, DISPATCH_PROPERTYPUT, &put,
                             nullptr, nullptr, nullptr),
              S_OK);
    VARIANT_BOOL on = VARIANT_FALSE;
    EXPECT_EQ(engine->get_m_boolLogEvents(&on), S_OK);
    EXPECT_EQ(on, VARIANT_TRUE);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    EXPECT_EQ(engine->Invoke(names::kDispIdLogEvents, IID_NULL, 1033, DISPATCH_PROPERTYGET, &none,
                             &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
    EXPECT_EQ(
        engine->Invoke(0x1234, IID_NULL, 1033, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(engine->Invoke(names::kDispIdUnloadSplash, IID_IDispatch, 1033, DISPATCH_METHOD,
                             &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);

    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(engine->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}
#endif

} // namespace
} // namespace regwiz::test
