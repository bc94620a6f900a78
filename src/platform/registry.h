#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace regwiz::platform {

// Predefined hive handles, as the registry functions number them.
enum class Hive : std::uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
    CurrentConfig = 0x80000005,
    DynData = 0x80000006,
};

// Status codes of the registry functions (Windows system error codes).
namespace status {
inline constexpr long Success = 0;
inline constexpr long FileNotFound = 2;
inline constexpr long AccessDenied = 5;
inline constexpr long InvalidHandle = 6;
inline constexpr long InvalidParameter = 87;
inline constexpr long MoreData = 234;
inline constexpr long RegistryIoFailed = 1016;
} // namespace status

// Value types.
namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
} // namespace regtype

enum class KeyAccess { QueryValue, SetValueAndCreateSubKey };

using KeyHandle = std::uint32_t;

// The narrow ("A") registry functions as the settings store calls them. Key
// paths and value names are UTF-8 and compared without regard to case; value
// data is raw bytes (text in Windows-1252, as the store writes it).
class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA: opens an existing key; FileNotFound when it does not exist.
    virtual long OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key) = 0;

    // RegCreateKeyExA (non-volatile): opens the key, creating it and any
    // missing parents first.
    virtual long CreateKey(Hive hive, std::string_view subKey, KeyHandle& key) = 0;

    // RegQueryValueExA: `size` holds the buffer's size on entry and the value's
    // size on return. A buffer too small for the value gives MoreData and leaves
    // it untouched; FileNotFound when there is no such value.
    virtual long QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                            std::span<std::uint8_t> buffer, std::uint32_t& size) = 0;

    // RegSetValueExA: the key must have been opened for setting values.
    virtual long SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                          std::span<const std::uint8_t> data) = 0;

    // RegCloseKey.
    virtual long CloseKey(KeyHandle key) = 0;

    // RegDeleteKeyA as Windows NT does it: removes one key with its values,
    // only when it has no subkeys (AccessDenied otherwise), so that a caller
    // deleting what it wrote, deepest key first, leaves alone whatever others
    // added below. FileNotFound when there is no such key; InvalidParameter
    // for the hive itself.
    virtual long DeleteKey(Hive hive, std::string_view subKey) = 0;
};

} // namespace regwiz::platform
