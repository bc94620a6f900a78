#include "store/mod_registry.h"

#include <array>
#include <filesystem>
#include <vector>

#include "platform/codepage.h"

namespace regwiz {
namespace {

using platform::Hive;
using platform::KeyHandle;
namespace status = platform::status;
namespace regtype = platform::regtype;

constexpr std::size_t kProfileBuffer = 255;

struct HiveName {
    std::string_view abbreviation;
    Hive hive;
};

constexpr std::array<HiveName, 6> kHives = {{
    {"HKCU", Hive::CurrentUser},
    {"HKLM", Hive::LocalMachine},
    {"HKU", Hive::Users},
    {"HKDD", Hive::DynData},
    {"HKCC", Hive::CurrentConfig},
    {"HKCR", Hive::ClassesRoot},
}};

bool IsType(std::string_view type, char letter)
{
    return type.size() == 1 && (type[0] == letter || type[0] == letter + ('a' - 'A'));
}

// A normal file: hidden files (dot files here) and folders are not found.
bool IsNormalFile(const platform::Files& files, std::string_view location)
{
    std::filesystem::path path(location);
    const std::string name = path.filename().string();
    return !name.empty() && name.front() != '.' && files.IsFile(path);
}

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::string Text(const std::vector<std::uint8_t>& bytes, std::size_t size)
{
    return platform::FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), size));
}

// The data a value of type letter `type` is stored as.
std::pair<std::uint32_t, std::vector<std::uint8_t>> Encode(std::string_view type,
                                                           const Variant& value)
{
    if (IsType(type, 'S')) {
        std::vector<std::uint8_t> data = Bytes(platform::ToAnsi(CStr(value)));
        data.push_back(0);
        return {regtype::Sz, data};
    }
    if (IsType(type, 'B'))
        return {regtype::Binary, Bytes(platform::ToAnsi(CStr(value)))};
    const std::uint8_t flag = CBool(value) ? 0xFF : 0x00;
    return {regtype::Binary, {flag, flag}};
}

} // namespace

long modRegistry::fTopKey(std::string_view location)
{
    try {
        const std::string upper = platform::UpperAnsi(platform::ToAnsi(location));
        for (const HiveName& h : kHives) {
            if (upper == h.abbreviation)
                return static_cast<long>(h.hive);
        }
        return IsNormalFile(ports_.files, location) ? kIniFile : 0;
    } catch (const std::exception&) {
        platform::MsgBox(ports_.boxes, "Unable to decode registry key or find .ini file.",
                         platform::mb::Exclamation, "fTopKey");
        return 0;
    }
}

long modRegistry::fReadValue(std::string_view location, std::string_view key, std::string_view name,
                             std::string_view type, const Variant& defaultValue, Variant& value)
{
    value = defaultValue;
    const long top = fTopKey(location);
    if (top == 0)
        return kStatusNoLocation;
    if (top == kIniFile)
        return ReadIniValue(location, key, name, type, defaultValue, value);
    return ReadRegistryValue(static_cast<Hive>(top), key, name, type, value);
}

long modRegistry::ReadIniValue(std::string_view file, std::string_view section,
                               std::string_view name, std::string_view type,
                               const Variant& defaultValue, Variant& value)
{
    if (IsType(type, 'S')) {
        value = ports_.profiles.GetString(file, section, name, CStr(defaultValue), kProfileBuffer);
        return status::Success;
    }
    // Only text is handed back; a number read this way is dropped and the
    // caller keeps its default.
    ports_.profiles.GetInt(file, section, name, 0);
    return status::Success;
}

long modRegistry::ReadRegistryValue(Hive hive, std::string_view key, std::string_view name,
                                    std::string_view type, Variant& value)
{
    KeyHandle handle = 0;
    long rc = ports_.registry.OpenKey(hive, key, platform::KeyAccess::QueryValue, handle);
    if (rc != status::Success)
        return rc;

    std::uint32_t valueType = 0;
    const bool text = IsType(type, 'S') || IsType(type, 'B');
    std::vector<std::uint8_t> data(text ? 0 : 2);
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    rc = ports_.registry.QueryValue(handle, name, valueType, data, size);
    if (text && rc == status::MoreData) {
        data.resize(size);
        rc = ports_.registry.QueryValue(handle, name, valueType, data, size);
    }
    if (rc != status::Success) {
        ports_.registry.CloseKey(handle);
        return rc;
    }

    if (IsType(type, 'S'))
        value = Text(data, size > 0 ? size - 1 : 0); // without the terminating NUL
    else if (text)
        value = Text(data, size);
    else
        value = (data[0] | data[1]) != 0;
    return ports_.registry.CloseKey(handle);
}

long modRegistry::fWriteValue(std::string_view location, std::string_view key,
                              std::string_view name, std::string_view type, const Variant& value)
{
    const long top = fTopKey(location);
    if (top == 0)
        return WriteFailed(kStatusNoLocation);
    if (top == kIniFile) {
        if (!IsType(type, 'S'))
            return WriteFailed(kStatusNoLocation);
        // The profile function's own result is not looked at: the file exists.
        ports_.profiles.WriteString(location, key, name, CStr(value));
        return status::Success;
    }
    return WriteRegistryValue(static_cast<Hive>(top), key, name, type, value);
}

long modRegistry::fWriteTexts(std::string_view location, std::string_view key,
                              std::span<const platform::ProfileEntry> texts,
                              platform::Durability durability)
{
    if (fTopKey(location) == kIniFile) {
        // As with one text, the profile function's own result is not looked at.
        ports_.profiles.WriteStrings(location, key, texts, durability);
        return status::Success;
    }
    long result = status::Success;
    for (const platform::ProfileEntry& text : texts) {
        const long rc = fWriteValue(location, key, text.key, "S", text.value);
        result = result == status::Success ? rc : result;
    }
    return result;
}

long modRegistry::WriteRegistryValue(Hive hive, std::string_view key, std::string_view name,
                                     std::string_view type, const Variant& value)
{
    std::pair<std::uint32_t, std::vector<std::uint8_t>> encoded;
    try {
        encoded = Encode(type, value);
    } catch (const std::exception&) {
        return WriteFailed(kStatusNoLocation);
    }

    KeyHandle handle = 0;
    long rc = ports_.registry.CreateKey(hive, key, handle);
    if (rc != status::Success)
        return WriteFailed(rc);
    rc = ports_.registry.SetValue(handle, name, encoded.first, encoded.second);
    if (rc != status::Success) {
        // A value the registry refused is a failed write, not a success.
        ports_.registry.CloseKey(handle);
        return WriteFailed(rc);
    }
    return ports_.registry.CloseKey(handle);
}

long modRegistry::WriteFailed(long status)
{
    platform::MsgBox(ports_.boxes, "Unable to write registry or .ini file value.",
                     platform::mb::Exclamation, "fWriteValue");
    return status;
}

long modRegistry::WriteSetting(std::string_view name, const std::string& text,
                               std::string_view type)
{
    return fWriteValue(kSystemHive, kSystemKey, name, type, text);
}

std::string modRegistry::ReadConfigString(std::string_view fileName, std::string_view section,
                                          std::string_view key)
{
    Variant text;
    const std::string file = AppFile(globals_, fileName).string();
    if (fReadValue(file, section, key, "S", std::string(), text) != status::Success)
        return {};
    return CStr(text);
}

} // namespace regwiz
