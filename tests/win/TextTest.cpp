#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const std::string& s)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

} // namespace

TEST(TextTest, ConvertsBothWays)
{
    struct Case {
        const char* utf8;
        std::wstring utf16;
    };
    const Case cases[] = {
        {"", L""},
        {"C:\\velomass.bmp", L"C:\\velomass.bmp"},
        {"\xE3\x82\xB3\xE3\x83\x9E", L"\u30B3\u30DE"},                 // コマ
        {"\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D", L"\uFF77\uFF6C\uFF9D"}, // half-width kana
        {"\xF0\x9F\x8E\xB5", L"\xD83C\xDFB5"},                           // outside the BMP
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Widen(c.utf8), c.utf16) << "from " << Hex(c.utf8);
        EXPECT_EQ(Narrow(c.utf16), c.utf8) << "to " << Hex(c.utf8);
    }
}

TEST(TextTest, KeepsEmbeddedZeros)
{
    const std::string utf8("a\0b", 3);
    const std::wstring utf16(L"a\0b", 3);
    EXPECT_EQ(Widen(utf8), utf16);
    EXPECT_EQ(Narrow(utf16), utf8) << "got " << Hex(Narrow(utf16));
}

TEST(TextTest, DamagedInputBecomesReplacementCharacters)
{
    // A stray byte or a lone surrogate must not empty the whole text.
    EXPECT_EQ(Widen("a\xFF" "b"), std::wstring(L"a\uFFFDb"));
    const std::string narrowed = Narrow(std::wstring(L"a\xD800" L"b"));
    EXPECT_EQ(narrowed, "a\xEF\xBF\xBD" "b") << "got " << Hex(narrowed);
}
