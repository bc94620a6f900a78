// The Windows-1252 conversion: every byte survives FromAnsi then ToAnsi, and
// ToAnsi of UTF-8 gives at most one byte per character.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/codepage.h"

namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > s.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)))
            || (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace regwiz::platform;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // As ANSI: each byte is one character of valid UTF-8 and comes back unchanged.
    const std::string utf8 = FromAnsi(bytes);
    FUZZ_CHECK(IsValidUtf8(utf8));
    FUZZ_CHECK(CharCount(utf8) == bytes.size());
    FUZZ_CHECK(ToAnsi(utf8) == bytes);

    // As UTF-8: one byte per character at most; anything else never grows.
    const std::string ansi = ToAnsi(bytes);
    FUZZ_CHECK(ansi.size() <= bytes.size());
    if (IsValidUtf8(bytes))
        FUZZ_CHECK(ansi.size() <= CharCount(bytes));
    // What ToAnsi gives is ANSI text that round-trips in turn.
    FUZZ_CHECK(ToAnsi(FromAnsi(ansi)) == ansi);
    return 0;
}
