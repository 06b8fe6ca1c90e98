#include "store/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

struct Scanned {
    double value{0};
    std::size_t length{0}; // 0: no number at the start of the text
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "&H1F" and "&O17": the radix prefix, then as many digits of that radix as follow.
Scanned scanRadix(std::string_view s)
{
    if (s.size() < 2 || s[0] != '&')
        return {};
    int radix = 0;
    if (s[1] == 'H' || s[1] == 'h')
        radix = 16;
    else if (s[1] == 'O' || s[1] == 'o')
        radix = 8;
    else
        return {};
    double value = 0;
    std::size_t i = 2;
    for (; i < s.size(); ++i) {
        int d = hexDigit(s[i]);
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d; // grows to infinity on absurd lengths, never fails
    }
    if (i == 2)
        return {};
    return {value, i};
}

// Powers of ten that a double holds exactly.
constexpr double ExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};
constexpr int MaxExactPower = 22;
constexpr std::size_t MaxExactDigits = 15; // below 2^53: every such integer is a double

} // namespace

double DecimalValue(std::string_view digits, long long exponent)
{
    if (digits.empty())
        return 0;
    // Digits and power of ten both exact: one multiplication or division rounds once,
    // which is what a correctly rounding strtod gives. Positions, kinds and icon numbers
    // all take this path.
    if (digits.size() <= MaxExactDigits && exponent >= -MaxExactPower && exponent <= MaxExactPower) {
        std::uint64_t whole = 0;
        for (char c : digits)
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
        double value = static_cast<double>(whole);
        return exponent >= 0 ? value * ExactPowersOfTen[exponent] : value / ExactPowersOfTen[-exponent];
    }
    return SlowDecimalValue(digits, exponent);
}

double SlowDecimalValue(std::string_view digits, long long exponent)
{
    if (digits.empty())
        return 0;
    // Room for the digits a caller keeps, "e" and any long long; no decimal point, so the
    // locale plays no part.
    char text[128];
    if (digits.size() > sizeof text - 24)
        digits = digits.substr(0, sizeof text - 24);
    std::memcpy(text, digits.data(), digits.size());
    char* end = text + digits.size();
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text - 1, exponent).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

namespace {

// The longest prefix that is a decimal number: sign, digits, fraction, exponent. Only
// the first significant digits are kept and the exponent saturates, so a field of
// millions of digits costs one pass and converts in constant time.
Scanned scanDecimal(std::string_view s)
{
    constexpr std::size_t MaxSignificant = 40;
    constexpr long long ExponentLimit = 100000;

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    char significant[MaxSignificant];
    std::size_t kept = 0;
    long long exponent = 0;
    bool anyDigit = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        anyDigit = true;
        if (kept == 0 && s[i] == '0')
            continue;
        if (kept < MaxSignificant)
            significant[kept++] = s[i];
        else if (exponent < ExponentLimit)
            ++exponent;
    }
    if (i < s.size() && s[i] == '.') {
        std::size_t afterPoint = i + 1;
        std::size_t j = afterPoint;
        for (; j < s.size() && isDigit(s[j]); ++j) {
            anyDigit = true;
            if (kept >= MaxSignificant)
                continue;
            if (exponent > -ExponentLimit)
                --exponent;
            if (!(kept == 0 && s[j] == '0'))
                significant[kept++] = s[j];
        }
        if (anyDigit)
            i = j;
    }
    if (!anyDigit)
        return {};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            long long e = 0;
            for (; j < s.size() && isDigit(s[j]); ++j)
                e = std::min(e * 10 + (s[j] - '0'), ExponentLimit);
            exponent += expNegative ? -e : e;
            i = j;
        }
    }
    double value = DecimalValue(std::string_view(significant, kept), exponent);
    return {negative ? -value : value, i};
}

Scanned scanNumber(std::string_view s)
{
    if (!s.empty() && s[0] == '&')
        return scanRadix(s);
    return scanDecimal(s);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

double LeadingNumber(std::string_view text)
{
    // Fields rarely hold blanks; only those that do are copied without them.
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\n'; }))
        return scanNumber(text).value;
    std::string packed;
    packed.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            packed += c;
    }
    return scanNumber(packed).value;
}

namespace {
// Banker's rounding, done by hand so that it does not depend on the FPU's rounding mode.
template <typename Int>
std::optional<Int> roundHalfEven(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    double whole;
    bool odd;
    if (std::fabs(v) < 0x1p52) {
        // Every field of a file lands here: the floor and its parity from an integer,
        // exact below 2^52, without calls into the maths library.
        auto truncated = static_cast<long long>(v);
        if (static_cast<double>(truncated) > v)
            --truncated;
        whole = static_cast<double>(truncated);
        odd = (truncated & 1) != 0;
    } else {
        whole = std::floor(v);
        odd = std::fmod(whole, 2.0) != 0;
    }
    double fraction = v - whole;
    if (fraction > 0.5 || (fraction == 0.5 && odd))
        whole += 1;
    if (whole < std::numeric_limits<Int>::min() || whole > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(whole);
}
} // namespace

std::optional<std::int16_t> RoundToInt16(double v) { return roundHalfEven<std::int16_t>(v); }

std::optional<std::uint8_t> RoundToUInt8(double v) { return roundHalfEven<std::uint8_t>(v); }

std::optional<double> ConvertNumber(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    Scanned n = scanNumber(text);
    if (n.length == 0 || n.length != text.size())
        return std::nullopt;
    return n.value;
}

std::string FormatNumber(float v)
{
    // Zero has one spelling ("-0" would be a surprise in a position), and a position that
    // is not a number at all is stored as the origin rather than as text no reader takes.
    if (v == 0 || !std::isfinite(v))
        return "0";
    char buffer[64];
    // Shortest text that reads back to the same float; plain digits for every magnitude a
    // position can have, the exponent only for tiny fractions.
    auto format = std::fabs(v) >= 1e-4f ? std::chars_format::fixed : std::chars_format::general;
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v, format);
    return std::string(buffer, result.ptr);
}
