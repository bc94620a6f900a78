#pragma once

// What makes RegEngine creatable by its ProgID, on every platform: the values
// registration writes under HKEY_CLASSES_ROOT for the class (the type library
// and its interfaces are registered separately).

#include <string>
#include <vector>

#include "regwizard/com/reg_engine_names.h"

namespace regwiz::com {

// One value under HKEY_CLASSES_ROOT ("" is the key's default value).
struct RegistryEntry {
    std::string key;
    std::string name;
    std::string text; // UTF-8
};

// In the order they are written; `library` is the server's full path.
inline std::vector<RegistryEntry> ClassEntries(const std::string& library)
{
    using namespace regwizard::com;
    const std::string clsid = std::string("CLSID\\") + kRegEngineClsidText;
    const std::string progId = kRegEngineProgId;
    return {
        {clsid, "", kRegEngineClassName},
        {clsid + "\\InprocServer32", "", library},
        {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {clsid + "\\ProgID", "", progId},
        {clsid + "\\TypeLib", "", kLibIdText},
        {clsid + "\\Version", "", kLibVersionText},
        {progId, "", kRegEngineClassName},
        {progId + "\\CLSID", "", kRegEngineClsidText},
    };
}

} // namespace regwiz::com
