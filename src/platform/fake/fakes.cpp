#include "platform/fake/fakes.h"

#include <algorithm>
#include <cstdlib>

#include "platform/codepage.h"

namespace regwiz::platform::fake {

Answer FakeMessageBoxes::Show(const std::string& text, const std::string& title, int style)
{
    shown_.push_back({text, title, style, pointer_ ? pointer_->ScreenPointer() : 0});
    if (answers_.empty())
        return DefaultAnswer(style);
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

namespace {

std::tuple<std::string, std::string, std::string>
IniName(const std::filesystem::path& file, std::string_view section, std::string_view key)
{
    return {file.string(), UpperAnsi(ToAnsi(section)), UpperAnsi(ToAnsi(key))};
}

bool InSection(const std::tuple<std::string, std::string, std::string>& name,
               const std::filesystem::path& file, std::string_view section)
{
    const auto wanted = IniName(file, section, "");
    return std::get<0>(name) == std::get<0>(wanted) && std::get<1>(name) == std::get<1>(wanted);
}

} // namespace

std::optional<std::string> FakeProfileFiles::Find(const std::filesystem::path& file,
                                                  std::string_view section,
                                                  std::string_view key) const
{
    auto value = values_.find(IniName(file, section, key));
    if (value == values_.end())
        return std::nullopt;
    return value->second;
}

std::string FakeProfileFiles::GetString(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key, std::string_view defaultText,
                                        std::size_t bufferSize)
{
    std::string ansi = ToAnsi(Find(file, section, key).value_or(std::string(defaultText)));
    return FromAnsi(ansi.substr(0, bufferSize > 0 ? bufferSize - 1 : 0));
}

int FakeProfileFiles::GetInt(const std::filesystem::path& file, std::string_view section,
                             std::string_view key, int defaultValue)
{
    auto value = Find(file, section, key);
    return value ? std::atoi(value->c_str()) : defaultValue;
}

bool FakeProfileFiles::WriteString(const std::filesystem::path& file, std::string_view section,
                                   std::string_view key, std::string_view value)
{
    if (failWrites)
        return false;
    values_[IniName(file, section, key)] = std::string(value);
    return true;
}

bool FakeProfileFiles::DeleteSection(const std::filesystem::path& file, std::string_view section)
{
    if (failWrites)
        return false;
    std::erase_if(values_,
                  [&](const auto& value) { return InSection(value.first, file, section); });
    return true;
}

bool FakeProfileFiles::HasSection(const std::filesystem::path& file, std::string_view section)
{
    const auto first = values_.lower_bound(IniName(file, section, ""));
    return first != values_.end() && InSection(first->first, file, section);
}

FakeRegistry::KeyName FakeRegistry::Name(Hive hive, std::string_view subKey)
{
    while (!subKey.empty() && subKey.front() == '\\')
        subKey.remove_prefix(1);
    while (!subKey.empty() && subKey.back() == '\\')
        subKey.remove_suffix(1);
    return {hive, UpperAnsi(ToAnsi(subKey))};
}

long FakeRegistry::OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key)
{
    KeyName name = Name(hive, subKey);
    if (!name.second.empty() && !keys_.contains(name))
        return status::FileNotFound;
    key = next_++;
    opened_[key] = name;
    access_[key] = access;
    return status::Success;
}

long FakeRegistry::CreateKey(Hive hive, std::string_view subKey, KeyHandle& key)
{
    if (failCreateKey != status::Success)
        return failCreateKey;
    KeyName name = Name(hive, subKey);
    keys_[name];
    key = next_++;
    opened_[key] = name;
    access_[key] = KeyAccess::SetValueAndCreateSubKey;
    return status::Success;
}

long FakeRegistry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                              std::span<std::uint8_t> buffer, std::uint32_t& size)
{
    auto opened = opened_.find(key);
    if (opened == opened_.end())
        return status::InvalidHandle;
    auto& values = keys_[opened->second];
    auto value = values.find(UpperAnsi(ToAnsi(name)));
    if (value == values.end())
        return status::FileNotFound;
    type = value->second.type;
    size = static_cast<std::uint32_t>(value->second.data.size());
    if (buffer.size() < value->second.data.size())
        return status::MoreData;
    std::copy(value->second.data.begin(), value->second.data.end(), buffer.begin());
    return status::Success;
}

long FakeRegistry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                            std::span<const std::uint8_t> data)
{
    auto opened = opened_.find(key);
    if (opened == opened_.end())
        return status::InvalidHandle;
    if (access_[key] != KeyAccess::SetValueAndCreateSubKey)
        return status::AccessDenied;
    if (failSetValue != status::Success)
        return failSetValue;
    keys_[opened->second][UpperAnsi(ToAnsi(name))] = Value{type, {data.begin(), data.end()}};
    return status::Success;
}

long FakeRegistry::CloseKey(KeyHandle key)
{
    access_.erase(key);
    return opened_.erase(key) == 1 ? status::Success : status::InvalidHandle;
}

// A key exists here once created; its parents only as far as they were created too.
long FakeRegistry::DeleteKey(Hive hive, std::string_view subKey)
{
    const KeyName name = Name(hive, subKey);
    if (name.second.empty())
        return status::InvalidParameter;
    // The subkeys' names sort together, right from the key's name and a backslash on.
    const std::string prefix = name.second + '\\';
    const auto sub = keys_.lower_bound({hive, prefix});
    if (sub != keys_.end() && sub->first.first == hive && sub->first.second.starts_with(prefix))
        return status::AccessDenied;
    const auto key = keys_.find(name);
    if (key == keys_.end())
        return status::FileNotFound;
    keys_.erase(key);
    return status::Success;
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(Hive hive, std::string_view subKey,
                                                     std::string_view name) const
{
    auto key = keys_.find(Name(hive, subKey));
    if (key == keys_.end())
        return std::nullopt;
    auto value = key->second.find(UpperAnsi(ToAnsi(name)));
    if (value == key->second.end())
        return std::nullopt;
    return value->second;
}

} // namespace regwiz::platform::fake
