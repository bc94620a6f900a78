#pragma once

// GUIDs as the registry spells them: "{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}",
// upper case, as StringFromGUID2 writes them and CLSIDFromString reads them.

#include <optional>
#include <string>
#include <string_view>

#include "regwizard/com/com_types.h"

namespace regwizard::com {

namespace detail {

inline void AppendHex(std::string& out, std::uint32_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.push_back(kDigits[(value >> shift) & 0xF]);
}

inline std::optional<std::uint32_t> TakeHex(std::string_view& text, int digits)
{
    if (text.size() < static_cast<std::size_t>(digits))
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    text.remove_prefix(static_cast<std::size_t>(digits));
    return value;
}

inline bool TakeChar(std::string_view& text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

} // namespace detail

inline std::string GuidText(const GUID& guid)
{
    std::string out = "{";
    detail::AppendHex(out, guid.Data1, 8);
    out += '-';
    detail::AppendHex(out, guid.Data2, 4);
    out += '-';
    detail::AppendHex(out, guid.Data3, 4);
    out += '-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2)
            out += '-';
        detail::AppendHex(out, guid.Data4[i], 2);
    }
    return out + "}";
}

// The braces are required and nothing may follow them, as for CLSIDFromString.
inline std::optional<GUID> ParseGuid(std::string_view text)
{
    GUID guid{};
    if (!detail::TakeChar(text, '{'))
        return std::nullopt;
    const auto data1 = detail::TakeHex(text, 8);
    if (!data1 || !detail::TakeChar(text, '-'))
        return std::nullopt;
    const auto data2 = detail::TakeHex(text, 4);
    if (!data2 || !detail::TakeChar(text, '-'))
        return std::nullopt;
    const auto data3 = detail::TakeHex(text, 4);
    if (!data3 || !detail::TakeChar(text, '-'))
        return std::nullopt;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !detail::TakeChar(text, '-'))
            return std::nullopt;
        const auto byte = detail::TakeHex(text, 2);
        if (!byte)
            return std::nullopt;
        guid.Data4[i] = static_cast<std::uint8_t>(*byte);
    }
    if (!detail::TakeChar(text, '}') || !text.empty())
        return std::nullopt;
    guid.Data1 = *data1;
    guid.Data2 = static_cast<std::uint16_t>(*data2);
    guid.Data3 = static_cast<std::uint16_t>(*data3);
    return guid;
}

} // namespace regwizard::com
