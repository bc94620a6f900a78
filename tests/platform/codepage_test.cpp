#include "platform/codepage.h"

#include <gtest/gtest.h>

#include "platform/posix/iconv_code_page.h"

namespace regwiz::platform {
namespace {

const posix::IconvCodePage kIconv;

// The built-in table (null) and the system's iconv must agree byte for byte.
class Codepage : public ::testing::TestWithParam<const CodePageConverter*> {
protected:
    void SetUp() override { InstallCodePage(GetParam()); }
    void TearDown() override { InstallCodePage(nullptr); }
};

INSTANTIATE_TEST_SUITE_P(Converters, Codepage, ::testing::Values(nullptr, &kIconv),
                         [](const auto& converter) { return converter.param ? "Iconv" : "Table"; });

TEST_P(Codepage, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
    EXPECT_EQ(FromAnsi("\x80\xE9"), "€é");
    EXPECT_EQ(FromAnsi("\x81"), "\xC2\x81") << "unassigned code kept as its control character";
}

TEST_P(Codepage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(ToAnsi("a→b"), "a?b");
    EXPECT_EQ(ToAnsi("日本"), "??");
    EXPECT_EQ(ToAnsi("x\xFFy"), "x?y") << "malformed UTF-8";
    EXPECT_EQ(ToAnsi("end\xE2\x82"), "end?") << "cut-off sequence";
    EXPECT_EQ(ToAnsi("\xC0\x80|\xED\xA0\x80|\xF4\x90\x80\x80"), "?|?|?")
        << "overlong, surrogate, beyond U+10FFFF";
    EXPECT_EQ(ToAnsi("\xC2\x80\xC2\x8D\xC5\xA0"), "?\x8D\x8A") << "C1 controls but the unassigned";
    EXPECT_EQ(ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(ToAnsi(std::string(5000, 'x') + "€").size(), 5001u);
}

// Every character of the Basic Multilingual Plane (UTF-8 of a three-byte
// form is built by hand, so surrogates test the malformed path too).
TEST(CodepageAgreement, TableAndIconvConvertTheSame)
{
    InstallCodePage(nullptr);
    std::string all;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp < 0x800) {
            all += static_cast<char>(0xC0 | (cp >> 6));
        } else {
            all += static_cast<char>(0xE0 | (cp >> 12));
            all += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        all += static_cast<char>(0x80 | (cp & 0x3F));
    }
    EXPECT_EQ(ToAnsi(all), kIconv.ToAnsi(all));
}

TEST_P(Codepage, CountsCharactersNotBytes)
{
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("Zoë €"), 5u);
}

TEST_P(Codepage, NamesCompareWithoutCase)
{
    EXPECT_TRUE(EqualNoCase("Software\\Quorvale", "SOFTWARE\\quorvale"));
    EXPECT_TRUE(EqualNoCase("café", "CAFÉ"));
    EXPECT_FALSE(EqualNoCase("a", "b"));
    EXPECT_EQ(UpperAnsi("a\xE9\xFF\xF7"), "A\xC9\x9F\xF7");
}

} // namespace
} // namespace regwiz::platform
