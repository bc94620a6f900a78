#include "platform/win32/win32_code_page.h"

#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::platform::win32 {
namespace {

constexpr UINT kWindows1252 = 1252;

// The UTF-16 of one UTF-8 character (one or two units), or nothing when it is
// malformed.
std::wstring Utf16Of(std::string_view character)
{
    wchar_t units[2];
    const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(),
                                          static_cast<int>(character.size()), units, 2);
    return count > 0 ? std::wstring(units, static_cast<std::size_t>(count)) : std::wstring();
}

// Whether the code page has the character; its code goes to `code`.
bool AnsiOf(const std::wstring& character, char& code)
{
    BOOL defaulted = FALSE;
    const int count =
        WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, character.data(),
                            static_cast<int>(character.size()), &code, 1, nullptr, &defaulted);
    return count == 1 && defaulted == FALSE;
}

// Length of the UTF-8 character at the start of `rest`, as its lead byte says
// (at least 1, at most what is left).
std::size_t LeadLength(std::string_view rest)
{
    const auto lead = static_cast<unsigned char>(rest.front());
    const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return length < rest.size() ? length : rest.size();
}

} // namespace

std::string Win32CodePage::ToAnsi(std::string_view utf8) const
{
    std::string ansi;
    ansi.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto lead = static_cast<unsigned char>(utf8.front());
        if (lead < 0x80) { // ASCII is itself
            ansi.push_back(static_cast<char>(lead));
            utf8.remove_prefix(1);
            continue;
        }
        const std::size_t length = LeadLength(utf8);
        const std::wstring wide = Utf16Of(utf8.substr(0, length));
        char code = 0;
        // C1 controls are not characters of the code page; the shared rule
        // keeps the unassigned codes and makes the others "?".
        if (wide.size() == 1 && wide[0] >= 0xA0 && AnsiOf(wide, code)) {
            ansi.push_back(code);
            utf8.remove_prefix(length);
        } else {
            utf8.remove_prefix(ReplaceUnknownCharacter(utf8, ansi));
        }
    }
    return ansi;
}

std::string Win32CodePage::FromAnsi(std::string_view ansi) const
{
    if (ansi.empty())
        return {};
    const int length = static_cast<int>(ansi.size());
    std::wstring wide(ansi.size(), L'\0');
    // Without MB_ERR_INVALID_CHARS, the unassigned codes come back as U+0081
    // and the like, the control characters of their number.
    MultiByteToWideChar(kWindows1252, 0, ansi.data(), length, wide.data(), length);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace regwiz::platform::win32
