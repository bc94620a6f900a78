#include "store/crypt.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace regwiz::crypt {
namespace {

// What a reader of the stored value does: hex pairs XOR the key digits' codes.
std::string Decrypt(const std::string& hex)
{
    std::string keyDigits;
    for (char c : ServiceKey)
        keyDigits += std::to_string(static_cast<unsigned char>(c));
    std::string ansi;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int byte = std::stoi(hex.substr(i, 2), nullptr, 16);
        ansi += static_cast<char>(byte ^ keyDigits[(i / 2) % keyDigits.size()]);
    }
    return platform::FromAnsi(ansi);
}

TEST(Encrypt, EmptyTextGivesEmptyResult)
{
    EXPECT_EQ(Encrypt(""), "");
}

TEST(Encrypt, KnownPasswordsAndTheirHexForm)
{
    EXPECT_EQ(Encrypt("password"), "48534640425F4756");
    EXPECT_EQ(Encrypt("secret"), "4B5756415044");
    for (char c : Encrypt("password"))
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << c;
}

TEST(Encrypt, CharacterEqualToKeyDigitGivesTwoZeros)
{
    // The key's digits start "8253...": "8" meets the code of "8".
    EXPECT_EQ(Encrypt("8"), "00");
    EXPECT_EQ(Encrypt("82"), "0000");
}

TEST(Encrypt, UsesWindows1252CodesOneBytePerCharacter)
{
    EXPECT_EQ(Encrypt("é"), "D1"); // 0xE9 ^ '8'
    EXPECT_EQ(Encrypt("€").size(), 2u);
}

TEST(Encrypt, KeyWrapsAfterItsLastDigit)
{
    // 21 key digits: the 22nd character meets the first digit again.
    EXPECT_EQ(Encrypt(std::string(23, 'a')), "5953545254515453505158565554545558575654555953");
}

TEST(Encrypt, DiffersOnlyWhereTheTextDiffersAndReadsBack)
{
    const std::string a = Encrypt("hunter2a");
    const std::string b = Encrypt("hunter2b");
    ASSERT_EQ(a.size(), 16u);
    EXPECT_EQ(a.substr(0, 14), b.substr(0, 14));
    EXPECT_NE(a.substr(14), b.substr(14));
    EXPECT_EQ(Decrypt(Encrypt("Pässwörd with a long tail 123")), "Pässwörd with a long tail 123");
}

} // namespace
} // namespace regwiz::crypt
