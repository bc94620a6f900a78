#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

namespace regwiz::platform {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the upper half equals
// Latin-1. The five codes the code page leaves unassigned stand for the
// control characters of the same number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the (possibly malformed) UTF-8 character at the start of `s`.
std::size_t Utf8CharLength(std::string_view s)
{
    std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(s[0]));
    std::size_t i = 1;
    while (i < len && i < s.size() && IsContinuation(static_cast<unsigned char>(s[i])))
        ++i;
    return i;
}

// The code point of a complete, shortest-form UTF-8 sequence; none for
// anything malformed (overlong forms, surrogates, beyond U+10FFFF).
std::optional<char32_t> DecodeUtf8(std::string_view seq)
{
    const auto lead = static_cast<unsigned char>(seq[0]);
    const std::size_t len = Utf8SequenceLength(lead);
    if (len == 1)
        return lead < 0x80 ? std::optional<char32_t>(lead) : std::nullopt;
    if (seq.size() != len)
        return std::nullopt; // cut off
    char32_t cp = lead & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(seq[i]) & 0x3F);
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    return cp;
}

std::optional<unsigned char> AnsiOf(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<unsigned char>(cp);
    const auto* found = std::find(kHighControls.begin(), kHighControls.end(), cp);
    if (found == kHighControls.end())
        return std::nullopt;
    return static_cast<unsigned char>(0x80 + (found - kHighControls.begin()));
}

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The code page as a fixed table: it is the same on every platform.
class Windows1252Table final : public CodePageConverter {
public:
    std::string ToAnsi(std::string_view utf8) const override
    {
        std::string out;
        out.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size();) {
            const std::string_view rest = utf8.substr(i);
            const std::size_t len = Utf8CharLength(rest);
            const std::optional<char32_t> cp = DecodeUtf8(rest.substr(0, len));
            const std::optional<unsigned char> byte = cp ? AnsiOf(*cp) : std::nullopt;
            if (byte)
                out.push_back(static_cast<char>(*byte));
            else
                ReplaceUnknownCharacter(rest, out);
            i += len;
        }
        return out;
    }

    std::string FromAnsi(std::string_view ansi) const override
    {
        std::string out;
        out.reserve(ansi.size() * 2);
        for (char c : ansi) {
            const auto b = static_cast<unsigned char>(c);
            AppendUtf8(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b, out);
        }
        return out;
    }
};

const Windows1252Table kBuiltIn;
std::atomic<const CodePageConverter*> installed{&kBuiltIn};

} // namespace

void InstallCodePage(const CodePageConverter* converter)
{
    installed.store(converter != nullptr ? converter : &kBuiltIn);
}

std::size_t ReplaceUnknownCharacter(std::string_view rest, std::string& ansi)
{
    const std::size_t len = Utf8CharLength(rest);
    // U+0081 and its kind: the unassigned codes, kept as themselves.
    const std::optional<char32_t> cp = DecodeUtf8(rest.substr(0, len));
    const bool unassigned = cp && *cp >= 0x80 && *cp < 0xA0 && kHighControls[*cp - 0x80] == *cp;
    ansi.push_back(unassigned ? static_cast<char>(*cp) : '?');
    return len;
}

std::string ToAnsi(std::string_view utf8)
{
    return installed.load()->ToAnsi(utf8);
}

std::string FromAnsi(std::string_view ansi)
{
    return installed.load()->FromAnsi(ansi);
}

std::string FromAnsiTable(std::string_view ansi)
{
    return kBuiltIn.FromAnsi(ansi);
}

std::size_t CharCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); i += Utf8CharLength(utf8.substr(i)))
        ++count;
    return count;
}

std::string UpperAnsi(std::string_view ansi)
{
    std::string upper(ansi);
    for (char& c : upper) {
        auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            b = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            b = static_cast<unsigned char>(b - 0x10); // š œ ž
        else if (b == 0xFF)
            b = 0x9F; // ÿ
        c = static_cast<char>(b);
    }
    return upper;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return UpperAnsi(ToAnsi(a)) == UpperAnsi(ToAnsi(b));
}

} // namespace regwiz::platform
