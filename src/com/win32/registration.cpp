// Self-registration into the real registry: the class's keys (the same ones
// on every platform, com/class_entries.h) written here, the type library and
// its interfaces by oleaut32.
#include <olectl.h>

#include <algorithm>
#include <set>

#include "com/class_entries.h"
#include "com/win32/module.h"
#include "regwizard/com/reg_engine_names.h"

namespace regwiz::com::win32 {
namespace {

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

LSTATUS WriteEntry(const RegistryEntry& entry)
{
    HKEY key = nullptr;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, Widen(entry.key).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    const std::wstring name = Widen(entry.name);
    const std::wstring text = Widen(entry.text);
    status = ::RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status;
}

std::size_t Depth(const std::string& key)
{
    return static_cast<std::size_t>(std::count(key.begin(), key.end(), '\\'));
}

// The keys the class's entries live in, deepest first.
std::vector<std::string> ClassKeys()
{
    std::set<std::string> unique;
    for (const RegistryEntry& entry : ClassEntries({}))
        unique.insert(entry.key);
    std::vector<std::string> keys(unique.begin(), unique.end());
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return Depth(a) > Depth(b);
    });
    return keys;
}

bool HasSubKeyAmong(const std::vector<std::string>& keys, const std::string& key)
{
    return std::any_of(keys.begin(), keys.end(), [&](const std::string& other) {
        return other.size() > key.size() && other.starts_with(key) && other[key.size()] == '\\';
    });
}

// The type library's own attributes name what UnRegisterTypeLib must remove;
// a library not registered (any more) is left alone.
HRESULT UnregisterOwnTypeLib()
{
    const std::string version = std::string("TypeLib\\") + regwizard::com::kLibIdText + "\\"
                                + regwizard::com::kLibVersionText;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, Widen(version).c_str(), 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return S_OK;
    ::RegCloseKey(key);

    ITypeLib* library = nullptr;
    HRESULT hr = LoadOwnTypeLib(&library);
    if (FAILED(hr))
        return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (SUCCEEDED(hr)) {
        hr = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                 attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
        library->ReleaseTLibAttr(attributes);
    }
    library->Release();
    return hr;
}

} // namespace
} // namespace regwiz::com::win32

// The class under its CLSID and ProgID, served by this DLL's file, then the
// type library (RegisterTypeLib writes TypeLib\{libid} and the interfaces).
STDAPI DllRegisterServer()
{
    using namespace regwiz::com;
    using namespace regwiz::com::win32;
    return Guarded([] {
        const std::wstring path = ModulePath();
        if (path.empty())
            return SELFREG_E_CLASS;
        for (const RegistryEntry& entry : ClassEntries(Narrow(path)))
            if (WriteEntry(entry) != ERROR_SUCCESS)
                return SELFREG_E_CLASS;
        ITypeLib* library = nullptr;
        if (FAILED(LoadOwnTypeLib(&library)))
            return SELFREG_E_TYPELIB;
        std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
        std::wstring file = path;
        const HRESULT hr = ::RegisterTypeLib(library, file.data(), folder.data());
        library->Release();
        return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
    });
}

// Removes exactly what registration wrote; a key that holds someone else's
// subkeys stays. What is already gone is no failure.
STDAPI DllUnregisterServer()
{
    using namespace regwiz::com;
    using namespace regwiz::com::win32;
    return Guarded([] {
        HRESULT result = S_OK;
        if (FAILED(UnregisterOwnTypeLib()))
            result = SELFREG_E_TYPELIB;
        const std::vector<std::string> keys = ClassKeys();
        for (const std::string& key : keys) {
            const LSTATUS status = ::RegDeleteKeyW(HKEY_CLASSES_ROOT, Widen(key).c_str());
            if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
                continue;
            if (status == ERROR_ACCESS_DENIED && HasSubKeyAmong(keys, key))
                continue;
            result = SELFREG_E_CLASS;
        }
        return result;
    });
}
