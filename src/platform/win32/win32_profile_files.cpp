#include "platform/win32/win32_profile_files.h"

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

// The names of the file's sections, each as the file spells it (Windows-1252).
std::vector<std::string> SectionNames(const std::string& file)
{
    std::vector<char> buffer(1024);
    for (;;) {
        const DWORD length = GetPrivateProfileSectionNamesA(
            buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
        // A full buffer returns its size less two: the list may be cut.
        if (length + 2 < buffer.size())
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    for (const char* name = buffer.data(); *name != '\0'; name += names.back().size() + 1)
        names.emplace_back(name);
    return names;
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
