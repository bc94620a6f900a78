#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/codepage.h"

namespace regwiz::platform::win32 {
namespace {

// The port numbers the hives as Windows does; HKEY_* are those numbers
// sign-extended to a pointer.
HKEY HiveKey(Hive hive)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(hive)));
}

REGSAM AccessMask(KeyAccess access)
{
    return access == KeyAccess::QueryValue ? KEY_QUERY_VALUE : KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
}

} // namespace

Win32Registry::~Win32Registry()
{
    for (const auto& [number, opened] : opened_)
        RegCloseKey(opened);
}

KeyHandle Win32Registry::Remember(HKEY__* opened)
{
    const KeyHandle number = next_++;
    if (next_ == 0)
        next_ = 1; // 0 is never a key
    opened_[number] = opened;
    return number;
}

HKEY__* Win32Registry::Find(KeyHandle key) const
{
    const auto it = opened_.find(key);
    return it == opened_.end() ? nullptr : it->second;
}

long Win32Registry::OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key)
{
    HKEY opened = nullptr;
    const LONG rc =
        RegOpenKeyExA(HiveKey(hive), ToAnsi(subKey).c_str(), 0, AccessMask(access), &opened);
    if (rc == ERROR_SUCCESS)
        key = Remember(opened);
    return rc;
}

long Win32Registry::CreateKey(Hive hive, std::string_view subKey, KeyHandle& key)
{
    HKEY opened = nullptr;
    const LONG rc = RegCreateKeyExA(
        HiveKey(hive), ToAnsi(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
        KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &opened, nullptr);
    if (rc == ERROR_SUCCESS)
        key = Remember(opened);
    return rc;
}

long Win32Registry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                               std::span<std::uint8_t> buffer, std::uint32_t& size)
{
    const HKEY opened = Find(key);
    if (opened == nullptr)
        return ERROR_INVALID_HANDLE;
    // Read into a buffer of our own: Windows may fill the caller's in part
    // before it finds the value too long, and a null one asks only for the size.
    std::vector<BYTE> data(buffer.size() + 1);
    DWORD valueType = REG_NONE;
    DWORD valueSize = static_cast<DWORD>(buffer.size());
    const LONG rc = RegQueryValueExA(opened, ToAnsi(name).c_str(), nullptr, &valueType, data.data(),
                                     &valueSize);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
        return rc;
    type = valueType;
    size = valueSize;
    if (rc == ERROR_MORE_DATA || valueSize > buffer.size())
        return ERROR_MORE_DATA;
    std::copy(data.begin(), data.begin() + valueSize, buffer.begin());
    return ERROR_SUCCESS;
}

long Win32Registry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                             std::span<const std::uint8_t> data)
{
    const HKEY opened = Find(key);
    if (opened == nullptr)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(opened, ToAnsi(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size()));
}

long Win32Registry::CloseKey(KeyHandle key)
{
    const auto it = opened_.find(key);
    if (it == opened_.end())
        return ERROR_INVALID_HANDLE;
    const LONG rc = RegCloseKey(it->second);
    opened_.erase(it);
    return rc;
}

long Win32Registry::DeleteKey(Hive hive, std::string_view subKey)
{
    // An empty name would mean the hive itself.
    if (subKey.empty())
        return ERROR_INVALID_PARAMETER;
    return RegDeleteKeyA(HiveKey(hive), ToAnsi(subKey).c_str());
}

} // namespace regwiz::platform::win32
