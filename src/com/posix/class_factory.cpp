// The class object of RegEngine and the library's entry points for it.
#include "com/posix/object_support.h"
#include "com/posix/reg_engine_com.h"
#include "regwizard/com/reg_engine_com.h"

namespace regwiz::com::posix {
namespace {

// Each host that asks gets a factory of its own; it counts as a live object,
// so the library stays in use while a host holds one.
class RegEngineFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        const bool known = riid == IID_IUnknown || riid == IID_IClassFactory;
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
        return RegEngineCom::Create(riid, ppvObject);
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
    LiveObject live_;
    ULONG references_ = 1;
};

} // namespace
} // namespace regwiz::com::posix

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid,
                                                                            REFIID riid, void** ppv)
{
    using namespace regwiz::com::posix;
    using regwiz::com::Guarded;
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (rclsid != CLSID_RegEngine)
        return CLASS_E_CLASSNOTAVAILABLE;
    return Guarded([&] {
        auto* factory = new RegEngineFactory();
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    });
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return regwiz::com::ServerInUse() ? S_FALSE : S_OK;
}
