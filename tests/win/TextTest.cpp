#include "platform/Text.h"

#include <gtest/gtest.h>

TEST(TextTest, ConvertsBothWays)
{
    const struct {
        std::string utf8;
        std::wstring utf16;
    } cases[] = {
        {"", L""},
        {"C:\\velomass.bmp", L"C:\\velomass.bmp"},
        {"\xE3\x82\xB3\xE3\x83\x9E", L"\u30B3\u30DE"},                 // コマ
        {"\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D", L"\uFF77\uFF6C\uFF9D"}, // half-width kana
        {"\xF0\x9F\x8E\xB5", L"\xD83C\xDFB5"},                           // outside the BMP
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},            // zeros kept
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Widen(c.utf8), c.utf16);
        EXPECT_EQ(Narrow(c.utf16), c.utf8);
    }
}

TEST(TextTest, DamagedInputBecomesReplacementCharacters)
{
    // A stray byte or a lone surrogate must not empty the whole text.
    EXPECT_EQ(Widen("a\xFF" "b"), std::wstring(L"a\uFFFDb"));
    EXPECT_EQ(Narrow(std::wstring(L"a\xD800" L"b")), "a\xEF\xBF\xBD" "b");
}
