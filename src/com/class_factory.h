#pragma once

#include "com/server_support.h"

namespace regwiz::com {

// The class object of `Object`, whose static Create(riid, ppv) makes one.
// Each host that asks gets a factory of its own; it counts as a live object,
// so the library stays in use while a host holds one.
template <class Object> class ClassFactory final : public IClassFactory {
public:
    ClassFactory() = default;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

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

    // The object cannot be part of another one: it answers only for itself.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                             void** ppvObject) override
    {
        if (ppvObject == nullptr)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter != nullptr)
            return CLASS_E_NOAGGREGATION;
        return Object::Create(riid, ppvObject);
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
    ~ClassFactory() = default;

    LiveObject live_;
    ULONG references_ = 1;
};

// DllGetClassObject's work for a library that serves the one class `served`.
template <class Object>
HRESULT GetClassObject(REFCLSID rclsid, REFCLSID served, REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (!(rclsid == served))
        return CLASS_E_CLASSNOTAVAILABLE;
    return Guarded([&] {
        auto* factory = new ClassFactory<Object>();
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    });
}

} // namespace regwiz::com
