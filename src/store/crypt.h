#pragma once

#include <string>
#include <string_view>

namespace regwiz::crypt {

// The key any reader of a scrambled value must use too.
inline constexpr std::string_view ServiceKey = "R524mJ71C6";

// Scrambles a text for storing: each character's Windows-1252 code XOR the
// code of the next digit character of the key's decimal codes, as two
// upper-case hexadecimal digits. Hides a password from casual reading; it is
// not encryption.
std::string Encrypt(std::string_view text);

} // namespace regwiz::crypt
