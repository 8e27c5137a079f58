#include "settings/ValueForms.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

TEST(ValueFormsTest, DecimalTextFollowsAtolRules)
{
    struct Case {
        std::string text;
        long want;
    };
    const Case cases[] = {
        {"abc", 0},
        {"12abc", 12},
        {"  -7", -7},
        {"\t\n\v\f\r 42", 42},
        {"+5", 5},
        {"", 0},
        {"-", 0},
        {"- 7", 0},
        {"0x1f", 0},
        {"007", 7},
        {"1 2", 1},
        {"\xE3\x80\x80" "5", 0},        // a full-width blank is not white space
        {"\xA0" "5", 0},
        {"2147483647", 2147483647L},
        {"-2147483648", -2147483647L - 1},
        // Past the 32-bit range the value stays at its end instead of wrapping.
        {"2147483648", 2147483647L},
        {"-2147483649", -2147483647L - 1},
        {"99999999999999999999999999999999", 2147483647L},
        {"-99999999999999999999999999999999", -2147483647L - 1},
        {"000000000000000000000000000000012", 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecimalToLong(c.text), c.want) << "text \"" << c.text << "\"";
}

TEST(ValueFormsTest, DecimalTextRoundTrips)
{
    const long values[] = {0, 1, -1, 50, -7, 2147483647L, -2147483647L - 1};
    for (long value : values) {
        const std::string text = LongToDecimal(value);
        EXPECT_EQ(DecimalToLong(text), value) << "via \"" << text << "\"";
    }
    EXPECT_EQ(LongToDecimal(-7), "-7");
    EXPECT_EQ(LongToDecimal(120), "120");
}

TEST(ValueFormsTest, HexTextReadsColours)
{
    struct Case {
        std::string text;
        std::uint32_t want;
    };
    const Case cases[] = {
        {"ff", 0x0000FFu},          // red
        {"ff00", 0x00FF00u},        // green
        {"ff0000", 0xFF0000u},      // blue
        {"ffffff", 0xFFFFFFu},
        {"000000", 0},
        {"0", 0},
        {"", 0},
        {"0000ff", 0x0000FFu},
        {"FF", 0x0000FFu},
        {"Ff00aA", 0xFF00AAu},
        {"09af", 0x09AFu},
        // Any other character is a hand edit: black.
        {"zz", 0},
        {"ffg", 0},
        {" ff", 0},
        {"ff ", 0},
        {"0xff", 0},
        {"-1", 0},
        {"ff\xE3\x80\x80", 0},
        // More digits than 32 bits hold keep the low ones.
        {"ffffffff", 0xFFFFFFFFu},
        {"123456789", 0x23456789u},
        {"ffffffffffffffffffff", 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexToLong(c.text), c.want) << "text \"" << c.text << "\"";
}

TEST(ValueFormsTest, HexTextIsWrittenInLowerCaseWithoutLeadingZeros)
{
    struct Case {
        std::uint32_t value;
        const char* want;
    };
    const Case cases[] = {
        {0, "0"},
        {255, "ff"},
        {0x10, "10"},
        {0xFF0000u, "ff0000"},
        {0x00ABCDEFu, "abcdef"},
        {0x0000FF00u, "ff00"},
        {0xFFFFFFFFu, "ffffffff"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongToHex(c.value), c.want) << "value 0x" << std::hex << c.value;
        EXPECT_EQ(HexToLong(LongToHex(c.value)), c.value) << "round trip of 0x" << std::hex << c.value;
    }
}
