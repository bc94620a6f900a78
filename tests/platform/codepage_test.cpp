#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace regwiz::platform {
namespace {

TEST(Codepage, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
    EXPECT_EQ(FromAnsi("\x80\xE9"), "€é");
    EXPECT_EQ(FromAnsi("\x81"), "\xC2\x81") << "unassigned code kept as its control character";
}

TEST(Codepage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(ToAnsi("a→b"), "a?b");
    EXPECT_EQ(ToAnsi("日本"), "??");
    EXPECT_EQ(ToAnsi("x\xFFy"), "x?y") << "malformed UTF-8";
    EXPECT_EQ(ToAnsi("end\xE2\x82"), "end?") << "cut-off sequence";
    EXPECT_EQ(ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(ToAnsi(std::string(5000, 'x') + "€").size(), 5001u);
}

TEST(Codepage, CountsCharactersNotBytes)
{
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("Zoë €"), 5u);
}

TEST(Codepage, NamesCompareWithoutCase)
{
    EXPECT_TRUE(EqualNoCase("Software\\Quorvale", "SOFTWARE\\quorvale"));
    EXPECT_TRUE(EqualNoCase("café", "CAFÉ"));
    EXPECT_FALSE(EqualNoCase("a", "b"));
    EXPECT_EQ(UpperAnsi("a\xE9\xFF\xF7"), "A\xC9\x9F\xF7");
}

} // namespace
} // namespace regwiz::platform
