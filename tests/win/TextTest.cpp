#include "platform/Text.h"

#include <gtest/gtest.h>

TEST(TextTest, ConvertsBothWaysAndDamageBecomesReplacementCharacters)
{
    // way: b both ways; w, n only Widen or Narrow, from damaged input
    const struct { std::string utf8; std::wstring utf16; char way; } cases[] = {
        {"", L"", 'b'},
        {"C:\\velomass.bmp", L"C:\\velomass.bmp", 'b'},
        {"\xE3\x82\xB3\xE3\x83\x9E", L"\u30B3\u30DE", 'b'},                 // コマ
        {"\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D", L"\uFF77\uFF6C\uFF9D", 'b'}, // half-width kana
        {"\xF0\x9F\x8E\xB5", L"\xD83C\xDFB5", 'b'},                           // outside the BMP
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3), 'b'},            // zeros kept
        // A stray byte or a lone surrogate must not empty the whole text.
        {"a\xFF" "b", L"a\uFFFDb", 'w'},
        {"a\xEF\xBF\xBD" "b", L"a\xD800" L"b", 'n'},
    };
    for (const auto& c : cases) {
        if (c.way != 'n')
            EXPECT_EQ(Widen(c.utf8), c.utf16);
        if (c.way != 'w')
            EXPECT_EQ(Narrow(c.utf16), c.utf8);
    }
}
