#pragma once
#include <cstdint>
#include <string>

// The text forms of registry values.

// Decimal text by the C runtime's atol rules: leading white space, an
// optional sign, digits up to the first other character; no digits gives 0.
// Values beyond the 32-bit range saturate at its ends, so no text overflows.
long DecimalToLong(const std::string& text);

// Decimal text as _ltoa writes it: "-" for negatives, no leading zeros.
std::string LongToDecimal(long value);

// Hexadecimal colour text. Upper-case digits read like lower-case ones; a
// text with any other character (blank, sign, prefix) reads as 0, black.
// More than eight digits keep the low 32 bits.
std::uint32_t HexToLong(const std::string& text);

// Lower-case hexadecimal without leading zeros; 0 gives "0".
std::string LongToHex(std::uint32_t value);

// Lower-cases ASCII letters only; the bytes of other characters stay.
void LowerAscii(std::string& text);
