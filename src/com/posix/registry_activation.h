#pragma once

// Creating a registered in-process COM class as CoCreateInstance does it, for
// hosts on Linux: the ProgID and the class are looked up under
// HKEY_CLASSES_ROOT in the registry files, and the class's library is loaded
// as include/regwizard/com/create_instance.h does it.
//
// Header-only; a program using it links regwiz_platform_posix and the
// dynamic loader (${CMAKE_DL_LIBS}).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/registry_files.h"
#include "regwizard/com/create_instance.h"
#include "regwizard/com/guid_text.h"

namespace regwizard::com {

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
