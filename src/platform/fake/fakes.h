#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ports.h"

// Recording, scriptable stand-ins for the ports, for tests and the scenario
// runner.
namespace regwiz::platform::fake {

struct ShownBox {
    std::string text;
    std::string title;
    int style = 0;
    int screenPointer = 0; // the pointer while the box was up
};

// Records every box; answers from a queue, else with the box's default button.
class FakeMessageBoxes final : public MessageBoxes {
public:
    explicit FakeMessageBoxes(const MousePointer* pointer = nullptr) : pointer_(pointer) {}

    Answer Show(const std::string& text, const std::string& title, int style) override;

    void QueueAnswer(Answer answer) { answers_.push_back(answer); }
    const std::vector<ShownBox>& Shown() const { return shown_; }

private:
    const MousePointer* pointer_;
    std::deque<Answer> answers_;
    std::vector<ShownBox> shown_;
};

class FakeMousePointer final : public MousePointer {
public:
    void SetScreenPointer(int shape) override
    {
        shape_ = shape;
        history_.push_back(shape);
    }
    int ScreenPointer() const override { return shape_; }
    const std::vector<int>& History() const { return history_; }

private:
    int shape_ = pointer::Default;
    std::vector<int> history_;
};

class FakeClock final : public Clock {
public:
    LocalTime Now() const override { return now_; }
    void Set(const LocalTime& now) { now_ = now; }

private:
    LocalTime now_{2026, 12, 5, 10, 0, 0, 6};
};

class FakeFolders final : public SystemFolders {
public:
    explicit FakeFolders(std::filesystem::path programFilesFolder,
                         std::filesystem::path component = {})
        : programFiles(std::move(programFilesFolder)), componentFolder(std::move(component))
    {
    }
    std::filesystem::path ProgramFiles() const override { return programFiles; }
    std::filesystem::path ComponentFolder() const override { return componentFolder; }

    std::filesystem::path programFiles;
    std::filesystem::path componentFolder;
};

class FakeVolume final : public VolumeInfo {
public:
    std::optional<std::uint32_t> SystemVolumeSerial() const override { return serial; }
    std::optional<std::uint32_t> serial = 0x1234ABCD;
};

class FakeScreen final : public Screen {
public:
    int Width() const override { return width; }
    int Height() const override { return height; }
    int width = 1024;
    int height = 768;
};

// The dialling location; none: the query fails.
class FakeTelephony final : public Telephony {
public:
    long GetLocationInfo(std::string& countryCode, std::string& cityCode) override
    {
        if (!location)
            return -16;
        countryCode = location->first;
        cityCode = location->second;
        return 0;
    }
    std::optional<std::pair<std::string, std::string>> location =
        std::pair<std::string, std::string>{"1", "602"};
};

struct HelpCall {
    std::string file;
    std::string key;
    bool quit = false;
};

// Records the help calls.
class FakeHelp final : public Help {
public:
    void ShowPartialKey(const std::string& helpFile, const std::string& key) override
    {
        calls.push_back({helpFile, key, false});
    }
    void Quit(const std::string& helpFile) override { calls.push_back({helpFile, {}, true}); }

    std::vector<HelpCall> calls;
};

// In-memory .ini files: file -> section -> key -> value, names without case.
class FakeProfileFiles final : public ProfileFiles {
public:
    std::string GetString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultText,
                          std::size_t bufferSize) override;
    int GetInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
               int defaultValue) override;
    bool WriteString(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::string_view value) override;
    // A section exists here only while it has a key.
    bool DeleteSection(const std::filesystem::path& file, std::string_view section) override;
    bool HasSection(const std::filesystem::path& file, std::string_view section) override;

    bool failWrites = false;

private:
    std::optional<std::string> Find(const std::filesystem::path& file, std::string_view section,
                                    std::string_view key) const;

    std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

// An in-memory registry whose calls can be made to fail.
class FakeRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type = regtype::None;
        std::vector<std::uint8_t> data;
    };

    long OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key) override;
    long CreateKey(Hive hive, std::string_view subKey, KeyHandle& key) override;
    long QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                    std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    long SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::span<const std::uint8_t> data) override;
    long CloseKey(KeyHandle key) override;
    long DeleteKey(Hive hive, std::string_view subKey) override;

    std::optional<Value> Get(Hive hive, std::string_view subKey, std::string_view name) const;
    std::size_t OpenHandles() const { return opened_.size(); }

    // The status the next calls of that kind return instead of doing their work.
    long failCreateKey = status::Success;
    long failSetValue = status::Success;

private:
    using KeyName = std::pair<Hive, std::string>; // path in upper case
    static KeyName Name(Hive hive, std::string_view subKey);

    std::map<KeyName, std::map<std::string, Value>> keys_; // value names in upper case
    std::map<KeyHandle, KeyName> opened_;
    std::map<KeyHandle, KeyAccess> access_;
    KeyHandle next_ = 1;
};

} // namespace regwiz::platform::fake
