#include "com/posix/registration.h"

#include <algorithm>
#include <dlfcn.h>
#include <set>
#include <string_view>

#include "com/posix/object_support.h"
#include "platform/codepage.h"
#include "platform/posix/registry_files.h"
#include "regwizard/com/guid_text.h"
#include "regwizard/com/reg_engine_com.h"

namespace regwiz::com::posix {
namespace {

using regwizard::com::GuidText;

// The automation marshalers that would carry the interfaces between
// apartments on Windows: the type-library one for a dual interface, the
// IDispatch one for a dispinterface.
constexpr GUID kTypeLibMarshaler{0x00020424, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kDispatchMarshaler{0x00020420, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Keys below these hold every class's, library's and interface's entries.
constexpr std::string_view kSharedParents[] = {"CLSID", "TypeLib", "Interface"};

std::string LibraryVersion()
{
    return regwizard::com::kLibVersionText;
}

void AddClass(std::vector<RegistrationValue>& values, const std::string& library)
{
    for (RegistrationValue& value : ClassEntries(library))
        values.push_back(std::move(value));
}

// The type library is part of the library itself; it is registered for the
// neutral locale, which every lookup falls back to.
void AddTypeLib(std::vector<RegistrationValue>& values, const std::filesystem::path& library)
{
    const std::string version = "TypeLib\\" + GuidText(LIBID_RegWizard) + "\\" + LibraryVersion();
    values.push_back({version, "", "RegWizard"});
    values.push_back({version + "\\0\\win32", "", library.string()});
    values.push_back({version + "\\FLAGS", "", "0"});
    values.push_back({version + "\\HELPDIR", "", library.parent_path().string()});
}

void AddInterface(std::vector<RegistrationValue>& values, const IID& iid, const char* name,
                  const GUID& marshaler)
{
    const std::string key = "Interface\\" + GuidText(iid);
    values.push_back({key, "", name});
    values.push_back({key + "\\ProxyStubClsid", "", GuidText(marshaler)});
    values.push_back({key + "\\ProxyStubClsid32", "", GuidText(marshaler)});
    values.push_back({key + "\\TypeLib", "", GuidText(LIBID_RegWizard)});
    values.push_back({key + "\\TypeLib", "Version", LibraryVersion()});
}

bool IsSharedParent(std::string_view key)
{
    return std::find(std::begin(kSharedParents), std::end(kSharedParents), key)
           != std::end(kSharedParents);
}

std::size_t Depth(std::string_view key)
{
    return static_cast<std::size_t>(std::count(key.begin(), key.end(), '\\'));
}

// The key and its parents, as far as they are registration's own.
void AddWithParents(std::set<std::string>& keys, const std::string& key)
{
    for (std::size_t end = key.find('\\'); end != std::string::npos;
         end = key.find('\\', end + 1)) {
        const std::string parent = key.substr(0, end);
        if (!IsSharedParent(parent))
            keys.insert(parent);
    }
    keys.insert(key);
}

bool HasSubKeyAmong(const std::vector<std::string>& keys, const std::string& key)
{
    return std::any_of(keys.begin(), keys.end(), [&](const std::string& other) {
        return other.size() > key.size() && other.starts_with(key) && other[key.size()] == '\\';
    });
}

// What registration reports for a key it cannot write or delete: the class's
// entries fail differently from the type library's.
HRESULT FailureOf(const std::string& key)
{
    return key.starts_with("TypeLib\\") || key.starts_with("Interface\\") ? SELFREG_E_TYPELIB
                                                                          : SELFREG_E_CLASS;
}

long WriteValue(platform::Registry& registry, const RegistrationValue& value)
{
    const std::string text = platform::ToAnsi(value.text);
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    platform::KeyHandle key = 0;
    long status = registry.CreateKey(platform::Hive::ClassesRoot, value.key, key);
    if (status != platform::status::Success)
        return status;
    status = registry.SetValue(key, value.name, platform::regtype::Sz, data);
    registry.CloseKey(key);
    return status;
}

// A path the registry's code page cannot spell would lead hosts nowhere.
bool Representable(const std::string& text)
{
    return platform::FromAnsi(platform::ToAnsi(text)) == text;
}

} // namespace

std::vector<RegistrationValue> RegistrationValues(const std::filesystem::path& library)
{
    std::vector<RegistrationValue> values;
    AddClass(values, library.string());
    AddTypeLib(values, library);
    AddInterface(values, IID__RegEngine, "_RegEngine", kTypeLibMarshaler);
    AddInterface(values, DIID___RegEngine, "__RegEngine", kDispatchMarshaler);
    return values;
}

std::vector<std::string> RegistrationKeys()
{
    std::set<std::string> unique;
    for (const RegistrationValue& value : RegistrationValues("/"))
        AddWithParents(unique, value.key);
    std::vector<std::string> keys(unique.begin(), unique.end());
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return Depth(a) > Depth(b);
    });
    return keys;
}

HRESULT RegisterServer(platform::Registry& registry, const std::filesystem::path& library)
{
    for (const RegistrationValue& value : RegistrationValues(library)) {
        if (!Representable(value.text) || WriteValue(registry, value) != platform::status::Success)
            return FailureOf(value.key);
    }
    return S_OK;
}

// A key registration wrote values into must go; a parent of such keys that
// will not go holds someone else's subkeys, and stays.
HRESULT UnregisterServer(platform::Registry& registry)
{
    const std::vector<std::string> keys = RegistrationKeys();
    HRESULT result = S_OK;
    for (const std::string& key : keys) {
        const long status = registry.DeleteKey(platform::Hive::ClassesRoot, key);
        if (status == platform::status::Success || status == platform::status::FileNotFound)
            continue;
        if (status == platform::status::AccessDenied && HasSubKeyAmong(keys, key))
            continue;
        if (result == S_OK || FailureOf(key) == SELFREG_E_CLASS)
            result = FailureOf(key);
    }
    return result;
}

std::filesystem::path ThisLibrary()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&ThisLibrary), &info) == 0
        || info.dli_fname == nullptr)
        return {};
    std::error_code error;
    std::filesystem::path file = std::filesystem::canonical(info.dli_fname, error);
    return error ? std::filesystem::absolute(info.dli_fname, error) : file;
}

} // namespace regwiz::com::posix

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer()
{
    using namespace regwiz;
    return com::Guarded([] {
        const std::filesystem::path library = com::posix::ThisLibrary();
        if (library.empty())
            return SELFREG_E_CLASS;
        platform::posix::RegistryFiles registry(platform::posix::RegistryFiles::DefaultFolder());
        return com::posix::RegisterServer(registry, library);
    });
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer()
{
    using namespace regwiz;
    return com::Guarded([] {
        platform::posix::RegistryFiles registry(platform::posix::RegistryFiles::DefaultFolder());
        return com::posix::UnregisterServer(registry);
    });
}
