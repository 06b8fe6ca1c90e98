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

// Writes a float the way the files store positions: whole numbers without a fraction.
std::string formatNumber(float v);
