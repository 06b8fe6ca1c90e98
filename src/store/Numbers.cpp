#include "store/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// Whether a decimal number out of a double's range (digits, point, exponent) is at least
// 1: then it overflowed, else it underflowed. from_chars leaves the value alone in both
// cases, so the number's order of magnitude decides.
bool overflowed(std::string_view number)
{
    const std::size_t e = number.find_first_of("eE");
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc())
            return !negative; // an exponent beyond 64 bits decides alone
        if (negative)
            exponent = -exponent;
    }
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    // The power of ten of the first significant digit; there is one, zero being in range.
    const std::size_t first = mantissa.find_first_not_of("0.");
    const long long order = first < point ? static_cast<long long>(point - first - 1)
                                          : -static_cast<long long>(first - point);
    return exponent >= -order;
}

// The longest prefix that is a decimal number: sign, digits, fraction, exponent, rounded
// correctly however many digits it has.
Scanned scanDecimal(std::string_view s)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // from_chars takes no "+" and reads "inf" and "nan", which are no numbers here.
    if (i == s.size() || !(isDigit(s[i]) || s[i] == '.'))
        return {};
    const char* first = s.data() + i;
    const char* last = s.data() + s.size();
    // Most fields are small whole numbers (kinds, indexes, places): read digit by digit,
    // which costs a fraction of a library conversion, exact up to 15 digits (below 2^53).
    // Longer ones, fractions and exponents take the floating-point conversion.
    long long whole = 0;
    const char* stop = first;
    for (; stop != last && isDigit(*stop) && stop - first < 15; ++stop)
        whole = whole * 10 + (*stop - '0');
    if (stop != first && (stop == last || (!isDigit(*stop) && *stop != '.' && *stop != 'e' && *stop != 'E')))
        return {negative ? -double(whole) : double(whole), static_cast<std::size_t>(stop - s.data())};
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return {};
    if (ec == std::errc::result_out_of_range)
        value = overflowed(std::string_view(first, static_cast<std::size_t>(end - first)))
            ? std::numeric_limits<double>::infinity()
            : 0.0;
    return {negative ? -value : value, static_cast<std::size_t>(end - s.data())};
}

Scanned scanNumber(std::string_view s)
{
    if (!s.empty() && s[0] == '&')
        return scanRadix(s);
    return scanDecimal(s);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

double leadingNumber(std::string_view text)
{
    if (const int digits = shortDigits(text); digits >= 0)
        return digits;
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

std::optional<std::int16_t> roundToInt16(double v) { return roundHalfEven<std::int16_t>(v); }

std::optional<std::uint8_t> roundToUInt8(double v) { return roundHalfEven<std::uint8_t>(v); }

std::optional<double> convertNumber(std::string_view text)
{
    if (const int digits = shortDigits(text); digits >= 0)
        return digits;
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    Scanned n = scanNumber(text);
    if (n.length == 0 || n.length != text.size())
        return std::nullopt;
    return n.value;
}

std::string formatNumber(float v)
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
