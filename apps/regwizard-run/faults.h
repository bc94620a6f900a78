#pragma once

#include <filesystem>
#include <limits>
#include <map>
#include <string>

#include "platform/files.h"
#include "platform/profile_files.h"
#include "platform/registry.h"

// Writes that fail on purpose, as a full disk would make them fail: the
// scenario's `fault KIND FROM [TO]`. The ports the component writes through
// are wrapped; the runner's own set-up writes go to the real ones.
namespace regwiz::runner {

class FaultPlan {
public:
    static constexpr long kNoBound = std::numeric_limits<long>::max();

    // Writes FROM to TO (counted from 1 once the component starts) of KIND fail.
    void Add(const std::string& kind, long from, long to) { ranges_[kind] = {from, to}; }
    // Counting starts with `start`: the runner's own writes before it are not the component's.
    void Start() { counting_ = true; }
    // Counts one write of KIND; true when it is to fail.
    bool Fails(const std::string& kind);
    // How many writes of KIND the component made so far.
    long Count(const std::string& kind) const;

private:
    bool counting_ = false;
    std::map<std::string, std::pair<long, long>> ranges_;
    std::map<std::string, long> counts_;
};

// The settings store's registry values.
class FaultyRegistry final : public platform::Registry {
public:
    FaultyRegistry(platform::Registry& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    long OpenKey(platform::Hive hive, std::string_view subKey, platform::KeyAccess access,
                 platform::KeyHandle& key) override
    {
        return inner_.OpenKey(hive, subKey, access, key);
    }
    long CreateKey(platform::Hive hive, std::string_view subKey, platform::KeyHandle& key) override
    {
        return inner_.CreateKey(hive, subKey, key);
    }
    long QueryValue(platform::KeyHandle key, std::string_view name, std::uint32_t& type,
                    std::span<std::uint8_t> buffer, std::uint32_t& size) override
    {
        return inner_.QueryValue(key, name, type, buffer, size);
    }
    long SetValue(platform::KeyHandle key, std::string_view name, std::uint32_t type,
                  std::span<const std::uint8_t> data) override;
    long CloseKey(platform::KeyHandle key) override { return inner_.CloseKey(key); }
    long DeleteKey(platform::Hive hive, std::string_view subKey) override
    {
        return inner_.DeleteKey(hive, subKey);
    }

private:
    platform::Registry& inner_;
    FaultPlan& plan_;
};

// Files below the application folder: its .ini files and the log.
class FaultyProfileFiles final : public platform::ProfileFiles {
public:
    FaultyProfileFiles(platform::ProfileFiles& inner, FaultPlan& plan,
                       const std::filesystem::path& app)
        : inner_(inner), plan_(plan), app_(app)
    {
    }
    std::string GetString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultText,
                          std::size_t bufferSize) override
    {
        return inner_.GetString(file, section, key, defaultText, bufferSize);
    }
    int GetInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
               int defaultValue) override
    {
        return inner_.GetInt(file, section, key, defaultValue);
    }
    bool WriteString(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::string_view value) override;
    // Each key is one write here: a failing one is left out, the rest are written.
    bool WriteStrings(const std::filesystem::path& file, std::string_view section,
                      std::span<const platform::ProfileEntry> entries,
                      platform::Durability durability) override;
    bool DeleteSection(const std::filesystem::path& file, std::string_view section) override;
    bool HasSection(const std::filesystem::path& file, std::string_view section) override
    {
        return inner_.HasSection(file, section);
    }

private:
    bool Fails(const std::filesystem::path& file);

    platform::ProfileFiles& inner_;
    FaultPlan& plan_;
    const std::filesystem::path& app_; // the application folder, known once the run starts
};

class FaultyFiles final : public platform::Files {
public:
    FaultyFiles(platform::Files& inner, FaultPlan& plan, const std::filesystem::path& app)
        : inner_(inner), plan_(plan), app_(app)
    {
    }
    std::optional<std::string> Read(const std::filesystem::path& file) const override
    {
        return inner_.Read(file);
    }
    platform::FileFailure Append(const std::filesystem::path& file,
                                 std::string_view bytes) override;
    bool IsFile(const std::filesystem::path& path) const override { return inner_.IsFile(path); }
    std::vector<std::string> FileNames(const std::filesystem::path& folder) const override
    {
        return inner_.FileNames(folder);
    }
    bool Remove(const std::filesystem::path& file) override { return inner_.Remove(file); }
    bool CreateFolders(const std::filesystem::path& folder) override
    {
        return inner_.CreateFolders(folder);
    }

private:
    platform::Files& inner_;
    FaultPlan& plan_;
    const std::filesystem::path& app_; // the application folder, known once the run starts
};

// Whether `file` lies in `folder` or below it.
bool IsBelow(const std::filesystem::path& file, const std::filesystem::path& folder);

} // namespace regwiz::runner
