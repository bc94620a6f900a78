#pragma once

// What the tests of RegWizard.dll share: the built DLL's path as wine sees it,
// regsvr32, and reading HKEY_CLASSES_ROOT.

#include <windows.h>

#include <optional>
#include <string>

#include "regsvr32.h"

namespace regwiz::test {

// REGWIZ_DLL is the build's path of the DLL; wine maps the root as drive Z:.
inline std::wstring DllPath()
{
    std::wstring path = L"Z:";
    for (const char* c = REGWIZ_DLL; *c != '\0'; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

// regsvr32's exit code with `options` (e.g. L"/s", L"/u /s") on the DLL.
inline DWORD Regsvr32(const std::wstring& options)
{
    return Regsvr32(options, DllPath());
}

inline std::wstring Wide(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

inline bool KeyExists(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(handle);
    return true;
}

// A REG_SZ value under HKEY_CLASSES_ROOT (empty name: the key's default).
inline std::optional<std::wstring> ReadText(const std::wstring& key, const std::wstring& name)
{
    wchar_t text[1024];
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name.empty() ? nullptr : name.c_str(),
                       RRF_RT_REG_SZ, nullptr, text, &size)
        != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

} // namespace regwiz::test
