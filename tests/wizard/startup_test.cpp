#include <gtest/gtest.h>

#include "platform/text.h"
#include "wizard/volume_serial.h"

namespace regwiz::wizard {
namespace {

TEST(VolumeSerial, HalvesInHexPaddedWhenTheyHaveNoLetters)
{
    EXPECT_EQ(VolumeCode(0x1234ABCD), "1234ABCD");
    EXPECT_EQ(VolumeCode(0x00120034), "00120034");
    EXPECT_EQ(VolumeCode(0x00AB0001), "AB0001");
    EXPECT_EQ(VolumeCode(0x0001FFFF), "0002FFFF") << "65535, not 65536, splits the halves";
    EXPECT_EQ(VolumeCode(0xFFFF0000), "FFFE0000");
}

TEST(VolumeSerial, FirstHalfBeyondSixteenBitsKeepsItsLowBits)
{
    EXPECT_EQ(VolumeCode(0x7FFFFFFF), "8000FFFF");
    EXPECT_EQ(VolumeCode(0x80000000), "7FFF0000");
    EXPECT_EQ(VolumeCode(0x7FFF7FFF), "7FFF7FFF") << "the last serial that fits";
}

TEST(VolumeSerial, FailedQueryGivesNoCode)
{
    struct NoVolume final : platform::VolumeInfo {
        std::optional<std::uint32_t> SystemVolumeSerial() const override { return std::nullopt; }
    };
    EXPECT_EQ(GetVolumeSerial(NoVolume{}), "");
}

TEST(CharacterFunctions, CountCharactersNotBytes)
{
    EXPECT_EQ(platform::Right(" 18005550142 ", 7), "550142 ");
    EXPECT_EQ(platform::Right(platform::TrimBlanks(" 18005550142 "), 7), "5550142");
    EXPECT_EQ(platform::Mid(" 18005550142 ", 2, 3), "180");
    EXPECT_EQ(platform::Mid("18005550142", 2, 3), "800");
    EXPECT_EQ(platform::Mid("1", 2, 3), "");
    EXPECT_EQ(platform::Left("Zoë€x", 4), "Zoë€");
    EXPECT_EQ(platform::Right("é€", 5), "é€");
}

} // namespace
} // namespace regwiz::wizard
