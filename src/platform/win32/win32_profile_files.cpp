#include "platform/win32/win32_profile_files.h"

#include <algorithm>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/codepage.h"
#include "platform/text.h"
#include "platform/win32/win32_text.h"

namespace regwiz::platform::win32 {
namespace {

bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A list the profile functions give as texts each ending in NUL, the list
// ending in a second NUL. A full buffer comes back as its size less two, and
// the list may be cut: then it is asked for again with more room.
template <typename Fill> std::vector<std::string> ProfileList(Fill fill)
{
    std::vector<char> buffer(1024);
    while (fill(buffer.data(), static_cast<DWORD>(buffer.size())) + 2 >= buffer.size())
        buffer.resize(buffer.size() * 2);
    std::vector<std::string> texts;
    for (const char* text = buffer.data(); *text != '\0'; text += texts.back().size() + 1)
        texts.emplace_back(text);
    return texts;
}

// The names of the file's sections, each as the file spells it (Windows-1252).
std::vector<std::string> SectionNames(const std::string& file)
{
    return ProfileList([&](char* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesA(buffer, size, file.c_str());
    });
}

// A section's lines ("key=value", other lines as they stand), Windows-1252.
std::vector<std::string> SectionLines(const std::string& section, const std::string& file)
{
    return ProfileList([&](char* buffer, DWORD size) {
        return GetPrivateProfileSectionA(section.c_str(), buffer, size, file.c_str());
    });
}

std::string LineKey(std::string_view line)
{
    return UpperAnsi(TrimBlanks(line.substr(0, line.find('='))));
}

// Sets key=value in a section's lines as WritePrivateProfileStringA would:
// the first line of that key, in its own spelling, or a new last line.
void SetLine(std::vector<std::string>& lines, const std::string& key, const std::string& value)
{
    const std::string wanted = UpperAnsi(TrimBlanks(key));
    for (std::string& line : lines) {
        if (LineKey(line) == wanted) {
            line = std::string(TrimBlanks(line.substr(0, line.find('=')))) + "=" + value;
            return;
        }
    }
    lines.push_back(key + "=" + value);
}

} // namespace

std::string Win32ProfileFiles::GetString(const std::filesystem::path& file,
                                         std::string_view section, std::string_view key,
                                         std::string_view defaultText, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    std::vector<char> buffer(bufferSize);
    const DWORD length = GetPrivateProfileStringA(
        ToAnsi(section).c_str(), ToAnsi(key).c_str(), ToAnsi(defaultText).c_str(), buffer.data(),
        static_cast<DWORD>(buffer.size()), AnsiPath(file).c_str());
    return FromAnsi(std::string_view(buffer.data(), length));
}

int Win32ProfileFiles::GetInt(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, int defaultValue)
{
    return static_cast<int>(GetPrivateProfileIntA(ToAnsi(section).c_str(), ToAnsi(key).c_str(),
                                                  defaultValue, AnsiPath(file).c_str()));
}

bool Win32ProfileFiles::WriteString(const std::filesystem::path& file, std::string_view section,
                                    std::string_view key, std::string_view value)
{
    if (HoldsLineBreak(section) || HoldsLineBreak(key) || HoldsLineBreak(value))
        return false;
    return WritePrivateProfileStringA(ToAnsi(section).c_str(), ToAnsi(key).c_str(),
                                      ToAnsi(value).c_str(), AnsiPath(file).c_str())
           != FALSE;
}

// One read of the section and one write of it, so the keys land together.
// When the file reaches the disk is the system's affair.
bool Win32ProfileFiles::WriteStrings(const std::filesystem::path& file, std::string_view section,
                                     std::span<const ProfileEntry> entries, Durability)
{
    const bool forged = HoldsLineBreak(section)
                        || std::any_of(entries.begin(), entries.end(), [](const ProfileEntry& e) {
                               return HoldsLineBreak(e.key) || HoldsLineBreak(e.value);
                           });
    if (forged)
        return false;
    if (entries.empty())
        return true;
    const std::string ansiSection = ToAnsi(section);
    const std::string path = AnsiPath(file);
    std::vector<std::string> lines = SectionLines(ansiSection, path);
    for (const ProfileEntry& entry : entries)
        SetLine(lines, ToAnsi(entry.key), ToAnsi(entry.value));
    std::string texts;
    for (const std::string& line : lines)
        texts.append(line).push_back('\0');
    texts.push_back('\0');
    return WritePrivateProfileSectionA(ansiSection.c_str(), texts.data(), path.c_str()) != FALSE;
}

bool Win32ProfileFiles::DeleteSection(const std::filesystem::path& file, std::string_view section)
{
    if (HoldsLineBreak(section))
        return false;
    return WritePrivateProfileStringA(ToAnsi(section).c_str(), nullptr, nullptr,
                                      AnsiPath(file).c_str())
           != FALSE;
}

bool Win32ProfileFiles::HasSection(const std::filesystem::path& file, std::string_view section)
{
    const std::string wanted = UpperAnsi(TrimBlanks(ToAnsi(section)));
    for (const std::string& name : SectionNames(AnsiPath(file))) {
        if (UpperAnsi(TrimBlanks(name)) == wanted)
            return true;
    }
    return false;
}

} // namespace regwiz::platform::win32
