#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/atomic_file.h"
#include "platform/registry.h"

namespace regwiz::platform::posix {

// The text of a hive's file, in Windows-1252, as RegistryFiles reads and
// changes it. Key paths are full ("HKEY_LOCAL_MACHINE\SOFTWARE\..."); keys
// and value names are matched without regard to case.

struct HiveValue {
    std::string name; // as the file spells it; empty for the default value
    std::uint32_t type = 0;
    std::string data;
};

// One key's section, in file order; a key may have several.
struct HiveSection {
    std::string upperPath;
    std::vector<HiveValue> values;
};

// Every section with a proper header and the values it holds; lines that make
// no sense are skipped.
std::vector<HiveSection> ReadHiveText(std::string_view text);

// The value as a query reads it: the first of that name in the key's sections.
std::optional<HiveValue> FindHiveValue(std::string_view text, std::string_view keyPath,
                                       std::string_view ansiName);

// The text with the value set: its record replaced, or added to the key's
// first section, or a section for the key added; every other byte kept. The
// name must hold no line break.
std::string WithHiveValue(std::string text, std::string_view keyPath, std::string_view ansiName,
                          std::uint32_t type, std::string_view data);

// The registry kept in REGEDIT4 text files, one per hive ("HKEY_LOCAL_MACHINE.reg",
// ...), in one folder. Every call reads the file afresh; every change is an
// atomic read-modify-write of the hive's file, so several processes may share
// the folder.
class RegistryFiles final : public Registry {
public:
    explicit RegistryFiles(std::filesystem::path folder);

    // $QUORVALE_REGISTRY, else $XDG_CONFIG_HOME/quorvale/registry, else
    // ~/.config/quorvale/registry.
    static std::filesystem::path DefaultFolder();

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path HiveFile(Hive hive) const;

    long OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key) override;
    long CreateKey(Hive hive, std::string_view subKey, KeyHandle& key) override;
    long QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                    std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    long SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::span<const std::uint8_t> data) override;
    long CloseKey(KeyHandle key) override;
    // Removes the key's sections with everything written under their headers.
    long DeleteKey(Hive hive, std::string_view subKey) override;
    // RegDeleteValueA: FileNotFound when there is no such value.
    long DeleteValue(Hive hive, std::string_view subKey, std::string_view name);

private:
    struct OpenedKey {
        Hive hive;
        std::string path; // as the caller spelled it, without leading or trailing "\"
        KeyAccess access;
    };

    const OpenedKey* Find(KeyHandle key) const;
    KeyHandle Remember(Hive hive, std::string_view path, KeyAccess access);
    long ReadHive(Hive hive, std::string& text) const;
    long UpdateHive(Hive hive, const FileChange& change);
    long EnsureKey(Hive hive, std::string_view path);

    std::filesystem::path folder_;
    std::map<KeyHandle, OpenedKey> opened_;
    KeyHandle nextHandle_ = 1;
};

} // namespace regwiz::platform::posix
