// The component as a foreign host meets it: loaded with dlopen, created
// through its class object, driven through IDispatch and the dual vtable,
// heard through its connection point.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "com/com_host.h"

namespace regwiz::test::com {
namespace {

class ComObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(lib.handle, nullptr) << ::dlerror();
        ASSERT_NE(lib.getClassObject, nullptr);
        ASSERT_NE(lib.canUnloadNow, nullptr);
    }

    IClassFactory* Factory()
    {
        void* factory = nullptr;
        EXPECT_EQ(lib.getClassObject(CLSID_RegEngine, IID_IClassFactory, &factory), S_OK);
        return static_cast<IClassFactory*>(factory);
    }

    _RegEngine* CreateEngine()
    {
        IClassFactory* factory = Factory();
        void* engine = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID__RegEngine, &engine), S_OK);
        factory->Release();
        return static_cast<_RegEngine*>(engine);
    }

    IConnectionPoint* EventsOf(IUnknown* engine)
    {
        auto* container = Query<IConnectionPointContainer>(engine, IID_IConnectionPointContainer);
        IConnectionPoint* point = nullptr;
        EXPECT_EQ(container->FindConnectionPoint(DIID___RegEngine, &point), S_OK);
        container->Release();
        return point;
    }

    Library& lib = Library::Get();
    Machine& machine = Machine::Get();
};

// ---- Dispatch helpers -----------------------------------------------------------------------

DISPID IdOf(IDispatch* object, const char16_t* name, HRESULT* hr = nullptr)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 12345;
    const HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, 1033, &id);
    if (hr != nullptr)
        *hr = result;
    return id;
}

struct Call {
    HRESULT hr = E_UNEXPECTED;
    VARIANT result{};
    UINT argError = 77;
};

Call CallMember(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args = {},
                std::vector<DISPID> named = {})
{
    Call call;
    RwVariantInit(&call.result);
    DISPPARAMS params{args.data(), named.data(), static_cast<UINT>(args.size()),
                      static_cast<UINT>(named.size())};
    call.hr =
        object->Invoke(id, IID_NULL, 1033, flags, &params, &call.result, nullptr, &call.argError);
    return call;
}

VARIANT Bool(bool on)
{
    VARIANT v;
    RwVariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Number(VARTYPE type, LONG value)
{
    VARIANT v;
    RwVariantInit(&v);
    v.vt = type;
    if (type == VT_I2)
        v.iVal = static_cast<SHORT>(value);
    else
        v.lVal = value;
    return v;
}

Call PutLogSwitch(IDispatch* object, VARIANT value)
{
    return CallMember(object, DISPID_RegEngine_m_boolLogEvents, DISPATCH_PROPERTYPUT, {value},
                      {DISPID_PROPERTYPUT});
}

std::optional<bool> GetLogSwitch(IDispatch* object)
{
    const Call call = CallMember(object, DISPID_RegEngine_m_boolLogEvents, DISPATCH_PROPERTYGET);
    if (call.hr != S_OK || call.result.vt != VT_BOOL)
        return std::nullopt;
    return call.result.boolVal == VARIANT_TRUE;
}

// ---- Class object ---------------------------------------------------------------------------

TEST_F(ComObjectTest, ClassObjectServesOnlyRegEngineAndRefusesAggregation)
{
    void* object = reinterpret_cast<void*>(0x1);
    GUID other = CLSID_RegEngine;
    other.Data1 ^= 1;
    EXPECT_EQ(lib.getClassObject(other, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(lib.getClassObject(CLSID_RegEngine, IID_IClassFactory, nullptr), E_POINTER);
    object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(lib.getClassObject(CLSID_RegEngine, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    Sink outer;
    object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(0x1);
    const int endsBefore = machine.EndLines();
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(machine.EndLines(), endsBefore) << "no wizard started for an unknown interface";
    EXPECT_EQ(outer.references, 0u);
    EXPECT_EQ(factory->Release(), 0u);
}

TEST_F(ComObjectTest, LibraryIsInUseWhileAnObjectFactoryOrLockLives)
{
    ASSERT_EQ(lib.canUnloadNow(), S_OK);
    IClassFactory* factory = Factory();
    EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "a factory is held";
    EXPECT_EQ(factory->LockServer(1), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "locked";

    IClassFactory* again = Factory();
    EXPECT_EQ(again->LockServer(0), S_OK);
    EXPECT_EQ(again->LockServer(0), S_OK) << "one unlock too many is ignored";
    void* engine = nullptr;
    ASSERT_EQ(again->CreateInstance(nullptr, IID_IUnknown, &engine), S_OK);
    EXPECT_EQ(again->Release(), 0u);
    EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "an object lives";
    EXPECT_EQ(static_cast<IUnknown*>(engine)->Release(), 0u);
    EXPECT_EQ(lib.canUnloadNow(), S_OK);
}

// ---- Identity and lifetime ------------------------------------------------------------------

TEST_F(ComObjectTest, QueryInterfaceAnswersItsFourInterfacesWithOneIdentity)
{
    _RegEngine* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    auto* unknown = Query<IUnknown>(engine, IID_IUnknown);
    auto* dispatch = Query<IDispatch>(engine, IID_IDispatch);
    auto* dual = Query<_RegEngine>(engine, IID__RegEngine);
    auto* container = Query<IConnectionPointContainer>(engine, IID_IConnectionPointContainer);
    ASSERT_TRUE(unknown && dispatch && dual && container);
    EXPECT_EQ(Query<IUnknown>(container, IID_IUnknown), unknown) << "one identity";
    EXPECT_EQ(static_cast<void*>(dispatch), static_cast<void*>(engine));

    for (const IID& refused : {IID_IClassFactory, IID_IConnectionPoint, DIID___RegEngine}) {
        void* found = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(engine->QueryInterface(refused, &found), E_NOINTERFACE);
        EXPECT_EQ(found, nullptr);
    }
    EXPECT_EQ(engine->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

    // Every reference taken above, and one more for the extra IUnknown query, is given back.
    EXPECT_EQ(engine->AddRef(), 7u);
    for (IUnknown* reference : {static_cast<IUnknown*>(container), static_cast<IUnknown*>(dual),
                                static_cast<IUnknown*>(dispatch), unknown, unknown})
        reference->Release();
    EXPECT_EQ(engine->Release(), 1u);
    const int endsBefore = machine.EndLines();
    EXPECT_EQ(engine->Release(), 0u);
    EXPECT_EQ(machine.EndLines(), endsBefore + 1) << "termination on the last Release";
    EXPECT_EQ(lib.canUnloadNow(), S_OK);
}

TEST_F(ComObjectTest, ACHostCallsTheDualInterfaceThroughItsVtable)
{
    _RegEngine* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    // Slots: IUnknown 0-2, IDispatch 3-6, then UnloadSplash, CancelRegistration, get, put.
    using GetFn = HRESULT (*)(void*, VARIANT_BOOL*);
    using PutFn = HRESULT (*)(void*, VARIANT_BOOL);
    using ReleaseFn = ULONG (*)(void*);
    void** vtable = *reinterpret_cast<void***>(engine);
    const auto get = reinterpret_cast<GetFn>(vtable[9]);
    const auto put = reinterpret_cast<PutFn>(vtable[10]);

    VARIANT_BOOL on = 7;
    EXPECT_EQ(get(engine, &on), S_OK);
    EXPECT_EQ(on, VARIANT_TRUE) << "Log=True in the registry";
    EXPECT_EQ(put(engine, VARIANT_FALSE), S_OK);
    EXPECT_EQ(GetLogSwitch(engine), false) << "the vtable and Invoke reach one property";
    EXPECT_EQ(engine->get_m_boolLogEvents(nullptr), E_POINTER);
    EXPECT_EQ(put(engine, VARIANT_TRUE), S_OK);
    EXPECT_EQ(reinterpret_cast<ReleaseFn>(vtable[2])(engine), 0u);
}

// ---- IDispatch ------------------------------------------------------------------------------

TEST_F(ComObjectTest, NamesMapToTheFixedDispatchIdsWithoutRegardToCase)
{
    _RegEngine* engine = CreateEngine();
    HRESULT hr = E_FAIL;
    EXPECT_EQ(IdOf(engine, u"UnloadSplash", &hr), 0x60030002);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(IdOf(engine, u"cancelregistration"), 0x60030003);
    EXPECT_EQ(IdOf(engine, u"M_BOOLLOGEVENTS"), 0x40030004);
    EXPECT_EQ(IdOf(engine, u"UnloadSplashX", &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdOf(engine, u"", &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);

    LPOLESTR names[] = {const_cast<LPOLESTR>(u"m_boolLogEvents"), const_cast<LPOLESTR>(u"on")};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(engine->GetIDsOfNames(IID_NULL, names, 2, 1033, ids), DISP_E_UNKNOWNNAME)
        << "no member has named parameters";
    EXPECT_EQ(ids[0], 0x40030004);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    EXPECT_EQ(engine->GetIDsOfNames(IID_IDispatch, names, 1, 1033, ids), DISP_E_UNKNOWNINTERFACE);

    UINT count = 9;
    EXPECT_EQ(engine->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(0x1);
    EXPECT_EQ(engine->GetTypeInfo(0, 1033, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    engine->Release();
}

TEST_F(ComObjectTest, LogSwitchPropertyTakesBooleansAndWholeNumbers)
{
    _RegEngine* engine = CreateEngine();
    EXPECT_EQ(GetLogSwitch(engine), true);
    EXPECT_EQ(PutLogSwitch(engine, Bool(false)).hr, S_OK);
    EXPECT_EQ(GetLogSwitch(engine), false);
    EXPECT_EQ(PutLogSwitch(engine, Number(VT_I4, 1)).hr, S_OK);
    EXPECT_EQ(GetLogSwitch(engine), true);
    EXPECT_EQ(PutLogSwitch(engine, Number(VT_I2, 0)).hr, S_OK);
    EXPECT_EQ(GetLogSwitch(engine), false);
    VARIANT_BOOL stored = VARIANT_TRUE;
    VARIANT byReference;
    RwVariantInit(&byReference);
    byReference.vt = VT_BYREF | VT_BOOL;
    byReference.pboolVal = &stored;
    EXPECT_EQ(PutLogSwitch(engine, byReference).hr, S_OK);
    EXPECT_EQ(GetLogSwitch(engine), true);

    // VB asks for a property with the method flag added.
    const Call both = CallMember(engine, DISPID_RegEngine_m_boolLogEvents,
                                 DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(both.hr, S_OK);
    EXPECT_EQ(both.result.vt, VT_BOOL);
    EXPECT_EQ(engine->Release(), 0u);
}

TEST_F(ComObjectTest, InvokeRefusesWrongCallsWithTheirDispatchErrors)
{
    _RegEngine* engine = CreateEngine();
    const DISPID logSwitch = DISPID_RegEngine_m_boolLogEvents;

    VARIANT text;
    RwVariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = RwSysAllocString(u"True");
    const Call mismatch = PutLogSwitch(engine, text);
    EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch.argError, 0u);
    RwVariantClear(&text);
    EXPECT_EQ(GetLogSwitch(engine), true) << "unchanged by a refused put";

    EXPECT_EQ(CallMember(engine, logSwitch, DISPATCH_PROPERTYPUT, {Bool(false)}).hr,
              DISP_E_PARAMNOTFOUND)
        << "the value must be named DISPID_PROPERTYPUT";
    EXPECT_EQ(CallMember(engine, logSwitch, DISPATCH_PROPERTYPUT, {Bool(false), Bool(true)},
                         {DISPID_PROPERTYPUT})
                  .hr,
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallMember(engine, logSwitch, DISPATCH_PROPERTYGET, {Bool(false)}).hr,
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(
        CallMember(engine, logSwitch, DISPATCH_PROPERTYPUTREF, {Bool(false)}, {DISPID_PROPERTYPUT})
            .hr,
        DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(
        CallMember(engine, DISPID_RegEngine_CancelRegistration, DISPATCH_METHOD, {Bool(true)}).hr,
        DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallMember(engine, DISPID_RegEngine_UnloadSplash, DISPATCH_PROPERTYGET).hr,
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(CallMember(engine, 0x60030099, DISPATCH_METHOD).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(CallMember(engine, DISPID_VALUE, DISPATCH_PROPERTYGET).hr, DISP_E_MEMBERNOTFOUND);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(engine->Invoke(DISPID_RegEngine_UnloadSplash, IID_IDispatch, 1033, DISPATCH_METHOD,
                             &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(engine->Invoke(DISPID_RegEngine_UnloadSplash, IID_NULL, 1033, DISPATCH_METHOD,
                             nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
    DISPPARAMS namedWithoutArgs{nullptr, nullptr, 0, 1};
    EXPECT_EQ(engine->Invoke(logSwitch, IID_NULL, 1033, DISPATCH_PROPERTYPUT, &namedWithoutArgs,
                             nullptr, nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(engine->Release(), 0u);
    EXPECT_EQ(lib.canUnloadNow(), S_OK);
}

// ---- Events ---------------------------------------------------------------------------------

TEST_F(ComObjectTest, SinkHearsIsLoadedAfterThreeSecondsAndRegCanceledOnCancel)
{
    QElapsedTimer clock;
    clock.start();
    _RegEngine* engine = CreateEngine();
    IConnectionPoint* point = EventsOf(engine);
    Sink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(sink.references, 1u);

    ASSERT_TRUE(PumpUntil([&] { return !sink.calls.empty(); }, 8000)) << "no IsLoaded";
    // The desktop loop's timers are Qt's coarse ones, which may fire 5% early.
    EXPECT_GE(clock.elapsed(), 2850) << "IsLoaded came before the wizard's timer";
    EXPECT_EQ(sink.Events(), std::vector<DISPID>{DISPID_RegEngineEvents_IsLoaded});
    const SinkCall& loaded = sink.calls[0];
    EXPECT_TRUE(loaded.nullInterface);
    EXPECT_EQ(loaded.lcid, 1033u);
    EXPECT_EQ(loaded.flags, DISPATCH_METHOD);
    EXPECT_EQ(loaded.args, 0u);

    EXPECT_EQ(CallMember(engine, DISPID_RegEngine_CancelRegistration, DISPATCH_METHOD).hr, S_OK);
    EXPECT_EQ(sink.Events(), (std::vector<DISPID>{1, 2})) << "RegCanceled during the call";

    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.references, 0u) << "the object let go of the sink";
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    point->Release();
    const int endsBefore = machine.EndLines();
    EXPECT_EQ(engine->Release(), 0u);
    EXPECT_EQ(machine.EndLines(), endsBefore + 1);
    EXPECT_EQ(lib.canUnloadNow(), S_OK);
}

TEST_F(ComObjectTest, UnloadSplashRaisesIsLoadedToEverySinkInTurn)
{
    _RegEngine* engine = CreateEngine();
    IConnectionPoint* point = EventsOf(engine);
    Sink first;
    Sink dispatchOnly(true, false);
    Sink eventsOnly(false, true);
    DWORD cookies[3] = {};
    ASSERT_EQ(point->Advise(&first, &cookies[0]), S_OK);
    ASSERT_EQ(point->Advise(&dispatchOnly, &cookies[1]), S_OK);
    ASSERT_EQ(point->Advise(&eventsOnly, &cookies[2]), S_OK);
    EXPECT_NE(cookies[0], cookies[1]);
    EXPECT_NE(cookies[1], cookies[2]);

    // The first sink unadvises the second from inside the event.
    first.onEvent = [&](DISPID) { point->Unadvise(cookies[1]); };
    EXPECT_EQ(CallMember(engine, DISPID_RegEngine_UnloadSplash, DISPATCH_METHOD).hr, S_OK);
    for (Sink* sink : {&first, &dispatchOnly, &eventsOnly})
        EXPECT_EQ(sink->Events(), std::vector<DISPID>{DISPID_RegEngineEvents_IsLoaded});
    EXPECT_EQ(dispatchOnly.references, 0u);

    EXPECT_EQ(engine->UnloadSplash(), S_OK) << "through the vtable as well";
    EXPECT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(dispatchOnly.calls.size(), 1u) << "unadvised";
    first.onEvent = nullptr;
    // Sinks still advised are released with the object.
    point->Release();
    EXPECT_EQ(engine->Release(), 0u);
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(eventsOnly.references, 0u);
}

TEST_F(ComObjectTest, ConnectionPointContainerAndPointDescribeEachOther)
{
    _RegEngine* engine = CreateEngine();
    auto* container = Query<IConnectionPointContainer>(engine, IID_IConnectionPointContainer);
    IConnectionPoint* point = reinterpret_cast<IConnectionPoint*>(0x1);
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &point), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point, nullptr);
    ASSERT_EQ(container->FindConnectionPoint(DIID___RegEngine, &point), S_OK);

    IID events = IID_NULL;
    EXPECT_EQ(point->GetConnectionInterface(&events), S_OK);
    EXPECT_EQ(events, DIID___RegEngine);
    IConnectionPointContainer* back = nullptr;
    EXPECT_EQ(point->GetConnectionPointContainer(&back), S_OK);
    EXPECT_EQ(back, container);
    back->Release();
    EXPECT_EQ(Query<IConnectionPoint>(point, IID_IConnectionPoint), point);
    point->Release();

    Sink deaf(false, false);
    DWORD cookie = 5;
    EXPECT_EQ(point->Advise(&deaf, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(deaf.references, 0u);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    IEnumConnections* connections = reinterpret_cast<IEnumConnections*>(0x1);
    EXPECT_EQ(point->EnumConnections(&connections), E_NOTIMPL);
    EXPECT_EQ(connections, nullptr);

    IEnumConnectionPoints* all = nullptr;
    ASSERT_EQ(container->EnumConnectionPoints(&all), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 9;
    EXPECT_EQ(all->Next(2, listed, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0], point);
    listed[0]->Release();
    EXPECT_EQ(all->Next(1, listed, nullptr), S_FALSE);
    EXPECT_EQ(all->Reset(), S_OK);
    EXPECT_EQ(all->Skip(2), S_FALSE);
    IEnumConnectionPoints* copy = nullptr;
    ASSERT_EQ(all->Clone(&copy), S_OK);
    EXPECT_EQ(copy->Next(1, listed, nullptr), S_FALSE) << "the copy starts where it was";
    copy->Release();
    all->Release();

    point->Release();
    container->Release();
    EXPECT_EQ(engine->Release(), 0u) << "the enumerators held no reference back";
    EXPECT_EQ(lib.canUnloadNow(), S_OK);
}

// A host that breaks the rule and lets go from inside RegCanceled: the object
// ends only when the call that raised the event returns.
TEST_F(ComObjectTest, ReleaseFromInsideAnEventEndsTheObjectAfterTheCall)
{
    _RegEngine* engine = CreateEngine();
    IConnectionPoint* point = EventsOf(engine);
    Sink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    point->Release();
    const int endsBefore = machine.EndLines();
    sink.onEvent = [&](DISPID event) {
        if (event == DISPID_RegEngineEvents_RegCanceled) {
            EXPECT_GT(engine->Release(), 0u) << "the call still holds the object";
        }
    };
    EXPECT_EQ(CallMember(engine, DISPID_RegEngine_CancelRegistration, DISPATCH_METHOD).hr, S_OK);
    EXPECT_EQ(machine.EndLines(), endsBefore + 1);
    EXPECT_EQ(sink.references, 0u);
    EXPECT_EQ(lib.canUnloadNow(), S_OK);
}

} // namespace
} // namespace regwiz::test::com
