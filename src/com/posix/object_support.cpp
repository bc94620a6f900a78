#include "com/posix/object_support.h"

#include <atomic>
#include <cstddef>
#include <optional>

namespace regwiz::com::posix {
namespace {

// One code point from `text` at `at`, moving `at` past it; nullopt for a
// malformed sequence (then `at` moves by one byte).
std::optional<char32_t> DecodeUtf8(const std::string& text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || at + static_cast<std::size_t>(extra) > text.size())
        return std::nullopt;
    char32_t code = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3F);
    }
    at += static_cast<std::size_t>(extra);
    return code;
}

void AppendUtf16(std::u16string& out, char32_t code)
{
    if (code >= 0x10000 && code <= 0x10FFFF) {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        out.push_back(u'\uFFFD');
    } else {
        out.push_back(static_cast<char16_t>(code));
    }
}

} // namespace

BSTR MakeBstr(const std::string& utf8)
{
    std::u16string text;
    for (std::size_t at = 0; at < utf8.size();)
        AppendUtf16(text, DecodeUtf8(utf8, at).value_or(U'\uFFFD'));
    return RwSysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

} // namespace regwiz::com::posix
