#include "wizard/volume_serial.h"

#include <algorithm>
#include <cstdint>

namespace regwiz::wizard {
namespace {

std::string Hex(std::uint16_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value = static_cast<std::uint16_t>(value >> 4);
    } while (value != 0);
    return text;
}

// Format(text, "0000"): a number gets at least four digits; a text with
// letters stays as it is.
std::string AtLeastFourDigits(const std::string& text)
{
    const bool digitsOnly =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digitsOnly && text.size() < 4 ? std::string(4 - text.size(), '0') + text : text;
}

} // namespace

std::string VolumeCode(std::uint32_t serial)
{
    const auto s = static_cast<std::int32_t>(serial);
    std::int64_t high = s / 65535; // truncates toward zero
    if (s < 0)
        --high;
    // A first half beyond 16 bits (serials within 32768 * 65535 of the ends
    // of the range) keeps its low 16 bits, so every serial still gives a code.
    const auto first = static_cast<std::uint16_t>(high & 0xFFFF);
    const auto second = static_cast<std::uint16_t>(serial & 0xFFFF);
    return AtLeastFourDigits(Hex(first)) + AtLeastFourDigits(Hex(second));
}

std::string GetVolumeSerial(const platform::VolumeInfo& volume)
{
    const std::optional<std::uint32_t> serial = volume.SystemVolumeSerial();
    return serial ? VolumeCode(*serial) : std::string();
}

} // namespace regwiz::wizard
