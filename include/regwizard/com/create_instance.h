#pragma once

// Loading an in-process COM server on Linux: the library is loaded with
// dlopen and asked for its class object, or for one of its other entry
// points, by name.
//
// Header-only; a program using it links the dynamic loader (${CMAKE_DL_LIBS}).
// A library, once loaded, stays loaded for the life of the process: its
// objects may be anywhere in the host.

#include <dlfcn.h>

#include <string>

#include "regwizard/com/com_types.h"

namespace regwizard::com {

// A library loaded for its COM entry points; null and `error` when it cannot be.
inline void* LoadServerLibrary(const std::string& path, std::string& error)
{
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : "cannot load " + path;
    }
    return library;
}

// One of the library's argumentless entry points (DllRegisterServer, ...).
struct EntryCall {
    enum class Outcome { Called, CannotLoad, NoEntryPoint };
    Outcome outcome = Outcome::CannotLoad;
    HRESULT result = E_FAIL; // what the entry point returned, once called
    std::string error;       // why it was not called
};

inline EntryCall CallServerEntry(const std::string& path, const char* entry)
{
    EntryCall call;
    void* library = LoadServerLibrary(path, call.error);
    if (library == nullptr)
        return call;
    auto* function = reinterpret_cast<LPFNREGISTERSERVER>(::dlsym(library, entry));
    if (function == nullptr) {
        call.outcome = EntryCall::Outcome::NoEntryPoint;
        call.error = std::string(path) + " has no entry point " + entry;
        return call;
    }
    call.outcome = EntryCall::Outcome::Called;
    call.result = function();
    return call;
}

// The class object's CreateInstance, without aggregation.
inline HRESULT CreateFromLibrary(const std::string& library, REFCLSID clsid, REFIID riid,
                                 void** object)
{
    std::string error;
    void* handle = LoadServerLibrary(library, error);
    if (handle == nullptr)
        return CO_E_DLLNOTFOUND;
    auto* getClassObject =
        reinterpret_cast<LPFNGETCLASSOBJECT>(::dlsym(handle, "DllGetClassObject"));
    if (getClassObject == nullptr)
        return CO_E_ERRORINDLL;
    void* found = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, &found);
    if (FAILED(hr))
        return hr;
    auto* factory = static_cast<IClassFactory*>(found);
    hr = factory->CreateInstance(nullptr, riid, object);
    factory->Release();
    return hr;
}

} // namespace regwizard::com
