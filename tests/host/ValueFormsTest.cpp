#include "base/ValueForms.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

TEST(ValueFormsTest, DecimalTextFollowsAtolRules)
{
    const struct { std::string text; long want; } cases[] = {
        {"abc", 0}, {"12abc", 12}, {"  -7", -7}, {"\t\n\v\f\r 42", 42}, {"+5", 5}, {"", 0}, {"-", 0},
        {"- 7", 0}, {"0x1f", 0}, {"1 2", 1},
        {"\xE3\x80\x80" "5", 0},  // a full-width blank is not white space
        {"000000000000000000000000000000012", 12},
        // Past the 32-bit range the value stays at its end instead of wrapping.
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
        {"99999999999999999999999999999999", INT_MAX}, {"-99999999999999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecimalToLong(c.text), c.want) << "text \"" << c.text << "\"";
    for (long value : {0L, -7L, 120L, long(INT_MAX), long(INT_MIN)})
        EXPECT_EQ(DecimalToLong(LongToDecimal(value)), value);
}

TEST(ValueFormsTest, HexTextReadsAndWritesColours)
{
    const struct { std::string text; std::uint32_t want; } cases[] = {
        {"ff", 0x0000FFu}, {"ff0000", 0xFF0000u}, {"000000", 0}, {"", 0}, {"Ff00aA", 0xFF00AAu}, {"09af", 0x09AFu},
        // Any other character is a hand edit: black.
        {"ffg", 0}, {" ff", 0}, {"ff ", 0}, {"0xff", 0}, {"-1", 0}, {"ff\xE3\x80\x80", 0},
        // More digits than 32 bits hold keep the low ones.
        {"123456789", 0x23456789u}, {"ffffffffffffffffffff", 0xFFFFFFFFu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexToLong(c.text), c.want) << "text \"" << c.text << "\"";

    // Lower case, no leading zeros.
    const struct { std::uint32_t value; const char* text; } written[] = {
        {0, "0"}, {0x10, "10"}, {0xFF0000u, "ff0000"}, {0xABCDEFu, "abcdef"}, {0xFFFFFFFFu, "ffffffff"}};
    for (const auto& c : written)
        EXPECT_EQ(LongToHex(c.value), c.text) << "value 0x" << std::hex << c.value;
}
