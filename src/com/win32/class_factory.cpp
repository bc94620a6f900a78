// The class object of RegEngine and the DLL's entry points for it.
#include <olectl.h>

#include "com/win32/module.h"
#include "com/win32/reg_engine_server.h"

namespace regwiz::com::win32 {
namespace {

// Each host that asks gets a factory of its own; it counts as a live object,
// so the DLL stays in use while a host holds one.
class RegEngineFactory final : public IClassFactory {
public:
    RegEngineFactory() = default;
    RegEngineFactory(const RegEngineFactory&) = delete;
    RegEngineFactory& operator=(const RegEngineFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        const bool known =
            ::IsEqualGUID(riid, IID_IUnknown) || ::IsEqualGUID(riid, IID_IClassFactory);
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

    // RegEngine cannot be part of another object: it answers only for itself.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                             void** ppvObject) override
    {
        if (ppvObject == nullptr)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter != nullptr)
            return CLASS_E_NOAGGREGATION;
        return RegEngineServer::Create(riid, ppvObject);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override
    {
        if (fLock)
            AddServerLock();
        else
            RemoveServerLock();
        return S_OK;
    }

private:
    ~RegEngineFactory() = default;

    LiveObject live_;
    ULONG references_ = 1;
};

} // namespace
} // namespace regwiz::com::win32

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    using namespace regwiz::com::win32;
    using regwiz::com::Guarded;
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (!::IsEqualGUID(rclsid, CLSID_RegEngine))
        return CLASS_E_CLASSNOTAVAILABLE;
    return Guarded([&] {
        auto* factory = new RegEngineFactory();
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    });
}

STDAPI DllCanUnloadNow()
{
    return regwiz::com::ServerInUse() ? S_FALSE : S_OK;
}
