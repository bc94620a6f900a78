#include "platform/posix/profile_files.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/atomic_file.h"
#include "platform/text.h"

namespace regwiz::platform::posix {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Editors that save as UTF-8 may start the file with a byte order mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The file's lines; a byte order mark before the first belongs to no line, so
// the first section is found and a rewrite keeps the mark where it was.
std::vector<Line> ProfileLines(std::string_view text)
{
    std::vector<Line> lines = SplitLines(text);
    if (!lines.empty() && text.starts_with(kByteOrderMark))
        lines.front().begin = std::min(kByteOrderMark.size(), lines.front().end);
    return lines;
}

// A value that would end its line and start another one is never written.
bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The name in a section header, or nullopt when the line is no header. An
// unclosed bracket still opens a section, as Windows reads it.
std::optional<std::string_view> SectionName(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] != '[')
        return std::nullopt;
    const std::string_view rest = line.substr(first + 1);
    return TrimBlanks(rest.substr(0, rest.find(']')));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

// A key=value line; anything without "=" is left alone as text we do not own.
std::optional<Entry> ParseEntry(std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return Entry{TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))};
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// How names are compared: Windows-1252, upper case, no surrounding blanks.
std::string NameKey(std::string_view ansi)
{
    return UpperAnsi(TrimBlanks(ansi));
}

// Where a key of a section is in a file. Only the first section of that name
// counts, so a duplicate further down is never read nor written.
struct Position {
    std::optional<std::size_t> section;
    std::optional<std::size_t> key;
    std::size_t lastFilled = 0; // last non-blank line of the section
};

Position Locate(std::string_view text, const std::vector<Line>& lines,
                const std::string& sectionKey, const std::string& keyKey)
{
    Position pos;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TextOf(text, lines[i]);
        if (const auto name = SectionName(line)) {
            if (pos.section)
                break;
            if (UpperAnsi(*name) == sectionKey)
                pos.section = pos.lastFilled = i;
            continue;
        }
        if (!pos.section || IsBlankLine(line))
            continue;
        pos.lastFilled = i;
        const auto entry = ParseEntry(line);
        if (entry && UpperAnsi(entry->key) == keyKey) {
            pos.key = i;
            break;
        }
    }
    return pos;
}

// The lines of the first section of that name: its header and everything up
// to the next header.
struct SectionLines {
    std::size_t header = 0;
    std::size_t end = 0; // the next header, or past the last line
};

std::optional<SectionLines> FindSection(std::string_view text, const std::vector<Line>& lines,
                                        const std::string& sectionKey)
{
    std::optional<SectionLines> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(TextOf(text, lines[i]));
        if (!name)
            continue;
        if (found) {
            found->end = i;
            return found;
        }
        if (UpperAnsi(*name) == sectionKey)
            found = SectionLines{i, lines.size()};
    }
    return found;
}

// The text without the section, or nullopt when it has none of that name.
std::optional<std::string> WithoutSection(std::string text, const std::string& sectionKey)
{
    const std::vector<Line> lines = ProfileLines(text);
    const auto section = FindSection(text, lines, sectionKey);
    if (!section)
        return std::nullopt;
    const std::size_t begin = lines[section->header].begin;
    const std::size_t end = section->end < lines.size() ? lines[section->end].begin : text.size();
    text.erase(begin, end - begin);
    return text;
}

// The value in Windows-1252, or nullopt when the file, section or key is missing.
std::optional<std::string> ReadValue(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key)
{
    int error = 0;
    const std::optional<std::string> text = ReadWholeFile(file, error);
    if (!text)
        return std::nullopt;
    return ProfileValue(*text, ToAnsi(section), ToAnsi(key));
}

// What a caller's buffer of `bufferSize` bytes holds, the terminating zero aside.
std::string_view CutToBuffer(std::string_view ansi, std::size_t bufferSize)
{
    return ansi.substr(0, bufferSize == 0 ? 0 : bufferSize - 1);
}

// Digits past the range of an int wrap around, as GetPrivateProfileInt's do.
int LeadingNumber(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<int>(negative ? 0u - number : number);
}

// A setting to write, in Windows-1252 with the names trimmed.
struct Setting {
    std::string section;
    std::string key;
    std::string value;

    std::string EntryLine() const { return key + "=" + value + std::string(kLineEnd); }
};

std::string AppendSection(std::string text, const Setting& setting)
{
    if (!text.empty() && text.back() != '\n')
        text += kLineEnd;
    // No blank line before the new section: Windows puts none there either.
    text += "[" + setting.section + "]" + std::string(kLineEnd) + setting.EntryLine();
    return text;
}

// After the section's last non-blank line, so blank lines that part it from
// the next section stay between them.
std::string InsertEntry(std::string text, const Line& lastFilled, const Setting& setting)
{
    std::string entry = setting.EntryLine();
    if (lastFilled.next == lastFilled.end)
        entry.insert(0, kLineEnd);
    text.insert(lastFilled.next, entry);
    return text;
}

std::string ReplaceEntry(std::string text, const Line& line, const Setting& setting)
{
    const std::string key(ParseEntry(TextOf(text, line))->key);
    text.replace(line.begin, line.end - line.begin, key + "=" + setting.value);
    return text;
}

std::string WithSetting(std::string text, const Setting& setting)
{
    const std::vector<Line> lines = ProfileLines(text);
    const Position pos = Locate(text, lines, UpperAnsi(setting.section), UpperAnsi(setting.key));
    if (!pos.section)
        return AppendSection(std::move(text), setting);
    if (!pos.key)
        return InsertEntry(std::move(text), lines[pos.lastFilled], setting);
    return ReplaceEntry(std::move(text), lines[*pos.key], setting);
}

} // namespace

std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key)
{
    const std::vector<Line> lines = ProfileLines(text);
    const Position pos = Locate(text, lines, NameKey(section), NameKey(key));
    if (!pos.key)
        return std::nullopt;
    return std::string(Unquote(ParseEntry(TextOf(text, lines[*pos.key]))->value));
}

std::string WithProfileSetting(std::string text, std::string_view section, std::string_view key,
                               std::string_view value)
{
    const Setting setting{std::string(TrimBlanks(section)), std::string(TrimBlanks(key)),
                          std::string(value)};
    return WithSetting(std::move(text), setting);
}

std::string PrivateProfileFiles::GetString(const std::filesystem::path& file,
                                           std::string_view section, std::string_view key,
                                           std::string_view defaultText, std::size_t bufferSize)
{
    const std::optional<std::string> value = ReadValue(file, section, key);
    const std::string ansi = value ? *value : std::string(TrimTrailingBlanks(ToAnsi(defaultText)));
    return FromAnsi(CutToBuffer(ansi, bufferSize));
}

int PrivateProfileFiles::GetInt(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, int defaultValue)
{
    const std::optional<std::string> value = ReadValue(file, section, key);
    return value ? LeadingNumber(*value) : defaultValue;
}

bool PrivateProfileFiles::WriteString(const std::filesystem::path& file, std::string_view section,
                                      std::string_view key, std::string_view value)
{
    const ProfileEntry entry{std::string(key), std::string(value)};
    return WriteStrings(file, section, std::span(&entry, 1), Durability::SurvivesCrash);
}

bool PrivateProfileFiles::WriteStrings(const std::filesystem::path& file, std::string_view section,
                                       std::span<const ProfileEntry> entries, Durability durability)
{
    if (HoldsLineBreak(section))
        return false;
    for (const ProfileEntry& entry : entries) {
        if (HoldsLineBreak(entry.key) || HoldsLineBreak(entry.value))
            return false;
    }
    const std::string ansiSection = ToAnsi(section);
    const int rc = UpdateFile(
        file,
        [&](const std::optional<std::string>& current) {
            std::string text = current.value_or("");
            for (const ProfileEntry& entry : entries)
                text = WithProfileSetting(std::move(text), ansiSection, ToAnsi(entry.key),
                                          ToAnsi(entry.value));
            return std::optional<std::string>(std::move(text));
        },
        durability == Durability::SurvivesCrash ? Flush::ToDisk : Flush::Lazily);
    return rc == 0;
}

bool PrivateProfileFiles::DeleteSection(const std::filesystem::path& file, std::string_view section)
{
    const std::string sectionKey = NameKey(ToAnsi(section));
    const int rc = UpdateFile(file, [&sectionKey](const std::optional<std::string>& current) {
        return current ? WithoutSection(*current, sectionKey) : std::nullopt;
    });
    return rc == 0;
}

bool PrivateProfileFiles::HasSection(const std::filesystem::path& file, std::string_view section)
{
    int error = 0;
    const std::optional<std::string> text = ReadWholeFile(file, error);
    return text && FindSection(*text, ProfileLines(*text), NameKey(ToAnsi(section))).has_value();
}

} // namespace regwiz::platform::posix
