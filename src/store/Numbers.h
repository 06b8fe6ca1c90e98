#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The leading-number value: never fails. Blanks, tabs and line feeds anywhere are
// ignored; the longest decimal prefix (sign, digits, fraction, exponent) is taken, or
// "&H"/"&O" followed by a hexadecimal or octal number; anything else gives 0. A number
// too large for a double is infinite, one too small 0.
double leadingNumber(std::string_view text);

// Rounds half to even into 16 bits; nullopt when the result lies outside -32768..32767.
std::optional<std::int16_t> roundToInt16(double v);

// Rounds half to even into 0..255; nullopt outside that range.
std::optional<std::uint8_t> roundToUInt8(double v);

// Number conversion that fails on an empty or non-numeric field (Top, Left, Kind).
std::optional<double> convertNumber(std::string_view text);

// The value of a text of one to four decimal digits and nothing else, as the program
// writes kinds, indexes and flags; -1 for any other text. Where it gives a value, both
// conversions above give the same, and they take it first: the cheap way for the tens of
// thousands of such fields a large set's files hold.
inline int shortDigits(std::string_view text)
{
    if (text.empty() || text.size() > 4)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Writes a float the way the files store positions: whole numbers without a fraction.
std::string formatNumber(float v);
