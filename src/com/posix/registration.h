#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "com/class_entries.h"
#include "platform/registry.h"
#include "regwizard/com/com_types.h"

namespace regwiz::com::posix {

// One value registration writes under HKEY_CLASSES_ROOT.
using RegistrationValue = RegistryEntry;

// Everything that makes RegEngine creatable from `library` and describes its
// type library and interfaces, in the order it is written.
std::vector<RegistrationValue> RegistrationValues(const std::filesystem::path& library);

// The keys registration creates, deepest first, as unregistration deletes
// them. The shared parents "CLSID", "TypeLib" and "Interface" are not among them.
std::vector<std::string> RegistrationKeys();

// Writes every value; stops at the first that fails.
HRESULT RegisterServer(platform::Registry& registry, const std::filesystem::path& library);

// Deletes the keys registration creates, and only those: a key that has
// subkeys registration did not write (another version of the type library,
// say) stays. Keys already gone are no failure.
HRESULT UnregisterServer(platform::Registry& registry);

// The file of the shared library this code is part of.
std::filesystem::path ThisLibrary();

} // namespace regwiz::com::posix
