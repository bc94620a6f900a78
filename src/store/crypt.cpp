#include "store/crypt.h"

#include "platform/codepage.h"

namespace regwiz::crypt {
namespace {

// "R524..." -> "8253505210974..." : each character's code in decimal.
std::string KeyDigits()
{
    std::string digits;
    for (char c : ServiceKey)
        digits += std::to_string(static_cast<unsigned char>(c));
    return digits;
}

} // namespace

std::string Encrypt(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string keyDigits = KeyDigits();
    std::string result;
    std::size_t pos = 0;
    for (char c : platform::ToAnsi(text)) {
        const unsigned k = static_cast<unsigned char>(keyDigits[pos]);
        pos = (pos + 1) % keyDigits.size();
        const unsigned x = static_cast<unsigned char>(c) ^ k;
        result += kHex[x >> 4];
        result += kHex[x & 0x0F];
    }
    return result;
}

} // namespace regwiz::crypt
