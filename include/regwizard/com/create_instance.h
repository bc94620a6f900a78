#pragma once

// Creating a registered in-process COM class as CoCreateInstance does it, for
// hosts on Linux: the ProgID and the class are looked up under
// HKEY_CLASSES_ROOT in the registry files, the class's library is loaded with
// dlopen and asked for its class object by name.
//
// Header-only; a program using it links regwiz_platform_posix and the
// dynamic loader (${CMAKE_DL_LIBS}). A library, once loaded, stays loaded for
// the life of the process: its objects may be anywhere in the host.

#include <dlfcn.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/registry_files.h"
#include "regwizard/com/com_types.h"
#include "regwizard/com/guid_text.h"

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

// A text value under HKEY_CLASSES_ROOT ("" names the key's default value).
inline std::optional<std::string> ReadClassesRootText(regwiz::platform::Registry& registry,
                                                      const std::string& key,
                                                      const std::string& name)
{
    using namespace regwiz::platform;
    KeyHandle handle = 0;
    if (registry.OpenKey(Hive::ClassesRoot, key, KeyAccess::QueryValue, handle) != 0)
        return std::nullopt;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    long rc = registry.QueryValue(handle, name, type, {}, size);
    std::vector<std::uint8_t> data(size);
    if (rc == status::MoreData || rc == status::Success)
        rc = registry.QueryValue(handle, name, type, data, size);
    registry.CloseKey(handle);
    if (rc != status::Success || type != regtype::Sz)
        return std::nullopt;
    std::string text(data.begin(), data.begin() + size);
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return FromAnsi(text);
}

// CLSIDFromProgID: CO_E_CLASSSTRING for a ProgID nobody registered.
inline HRESULT ClsidFromProgId(regwiz::platform::Registry& registry, const std::string& progId,
                               CLSID& clsid)
{
    const std::optional<std::string> text = ReadClassesRootText(registry, progId + "\\CLSID", "");
    const std::optional<GUID> guid = text ? ParseGuid(*text) : std::nullopt;
    if (!guid)
        return CO_E_CLASSSTRING;
    clsid = *guid;
    return S_OK;
}

// The library that serves the class in-process, or REGDB_E_CLASSNOTREG.
inline HRESULT InprocServerOf(regwiz::platform::Registry& registry, const CLSID& clsid,
                              std::string& library)
{
    const std::optional<std::string> path =
        ReadClassesRootText(registry, "CLSID\\" + GuidText(clsid) + "\\InprocServer32", "");
    if (!path || path->empty())
        return REGDB_E_CLASSNOTREG;
    library = *path;
    return S_OK;
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

// CoCreateInstance(CLSIDFromProgID(progId), CLSCTX_INPROC_SERVER) against the
// registry files in RegistryFiles::DefaultFolder().
inline HRESULT CoCreateFromRegistry(const char* progId, REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (progId == nullptr)
        return E_INVALIDARG;
    using regwiz::platform::posix::RegistryFiles;
    RegistryFiles registry(RegistryFiles::DefaultFolder());
    CLSID clsid{};
    std::string library;
    HRESULT hr = ClsidFromProgId(registry, progId, clsid);
    if (SUCCEEDED(hr))
        hr = InprocServerOf(registry, clsid, library);
    if (SUCCEEDED(hr))
        hr = CreateFromLibrary(library, clsid, riid, object);
    return hr;
}

} // namespace regwizard::com
