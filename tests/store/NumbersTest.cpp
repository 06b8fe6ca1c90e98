#include "store/Numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

const double Inf = std::numeric_limits<double>::infinity();
const std::string Ten(10'000'000, '0');

TEST(LeadingNumber, TakesTheLongestNumericPrefixAndNeverFails)
{
    const struct { std::string text; double value; } cases[] = {
        {"", 0}, {"abc", 0}, {" 7 ", 7}, {"\t-1\n2", -12}, {"+4", 4}, {".25", 0.25}, {"1.", 1}, {"1E+2x", 100},
        {"2e-1", 0.2}, {"1e+", 1}, {"3.5.1", 3.5}, {"-", 0}, {".", 0}, {"&h1f", 31}, {"&HFFG", 255}, {"&O17", 15},
        {"&o18", 1}, {"&H", 0}, {"&X1", 0}, {"-&H1", 0}, {"0x10", 0}, {"1,5", 1}, {"\r5", 0}, {"inf", 0},
        {"nan", 0}, {"+-1", 0}, {"+.5", 0.5},
        // Beyond a double: infinite or zero by the number's size, not by the exponent's look.
        {"1e400", Inf}, {"-1e400", -Inf}, {"1e-400", 0}, {"0.0001e312", 1e308}, {"1000e306", Inf},
        {"0.001e309", 1e306}, {"123e-330", 0}, {"0.00001e-320", 0}, {"4.9e-324", 4.9e-324}, {"2e-324", 0},
        {"1e99999999999999999999", Inf}, {"9e-99999999999999999999", 0},
        {"12345678901234567890123456789012345678901234567890", 12345678901234567890123456789012345678901234567890.0},
        // Huge fields: one pass, correct values.
        {std::string(Ten.size(), '7'), Inf}, {"0." + Ten + "1", 0}, {"1." + Ten + "1", 1}, {"5e" + Ten, 5},
        {"&H" + Ten + "F", 15}, {"&H" + std::string(Ten.size(), 'F'), Inf}, {std::string(Ten.size(), ' ') + "9", 9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingNumber(c.text), c.value) << '"' << c.text.substr(0, 60) << '"';
    EXPECT_TRUE(std::signbit(leadingNumber("-1e-400")));
}

TEST(Rounding, HalvesGoToEvenAndOverflowIsRejected)
{
    const struct { double in; std::optional<std::int16_t> int16; std::optional<std::uint8_t> uint8; } cases[] = {
        {0.5, 0, 0}, {1.5, 2, 2}, {2.5, 2, 2}, {-0.5, 0, 0}, {-2.5, -2, {}}, {2.5001, 3, 3}, {-0.6, -1, {}},
        {254.5, 254, 254}, {255.5, 256, {}}, {32767.4, 32767, {}}, {32767.5, {}, {}}, {-32768.5, -32768, {}},
        {-32768.6, {}, {}}, {Inf, {}, {}}, {std::nan(""), {}, {}}, {0x1p52 + 1, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roundToInt16(c.in), c.int16) << c.in;
        EXPECT_EQ(roundToUInt8(c.in), c.uint8) << c.in;
    }
}

TEST(ConvertNumber, AcceptsOneWholeNumberWithSurroundingBlanks)
{
    const struct { std::string text; std::optional<double> value; } cases[] = {
        {"\t-300 ", -300}, {"1.5E-1", 0.15}, {" &O17 ", 15}, {"+2", 2}, {"", {}}, {"   ", {}}, {"abc", {}},
        {"12abc", {}}, {"1 2", {}}, {"1e", {}}, {"&H", {}}, {"-", {}}, {"1\n", {}}, {std::string(Ten.size(), '1') + "x", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convertNumber(c.text), c.value) << '"' << c.text.substr(0, 60) << '"';
}

// Reading files takes short digit fields the cheap way and whole numbers digit by digit:
// both must give what the general conversions give, at and past their limits.
TEST(ShortDigits, AgreeWithTheGeneralConversions)
{
    const struct { std::string text; int digits; } cases[] = {
        {"0", 0}, {"7", 7}, {"0255", 255}, {"9999", 9999}, {"10000", -1}, {"", -1}, {"-1", -1}, {"+1", -1},
        {"1.0", -1}, {"1 ", -1}, {" 1", -1}, {"1e2", -1}, {"a1", -1}, {"&H1", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shortDigits(c.text), c.digits) << '"' << c.text << '"';
        if (c.digits >= 0) {
            EXPECT_EQ(std::pair(leadingNumber(c.text), convertNumber(c.text)),
                      std::pair(double(c.digits), std::optional<double>(c.digits)));
        }
    }
    const struct { const char* text; double value; } wholes[] = {
        {"999999999999999", 999999999999999.0}, {"-999999999999999", -999999999999999.0},
        {"9007199254740993", 9007199254740992.0}, {"1234567890123456789", 1234567890123456789.0},
        {"0000000000000001", 1}, {"123456789012345.5", 123456789012345.5}, {"123456789012345e1", 1234567890123450.0},
        {"-0", 0},
    };
    for (const auto& w : wholes)
        EXPECT_EQ(std::pair(leadingNumber(w.text), convertNumber(w.text)), std::pair(w.value, std::optional<double>(w.value))) << w.text;
    EXPECT_TRUE(std::signbit(leadingNumber("-0")));
}

TEST(FormatNumber, WritesPlainDigitsThatReadBackToTheSameFloat)
{
    EXPECT_EQ(formatNumber(-0.0f), "0");
    EXPECT_EQ(formatNumber(std::numeric_limits<float>::infinity()), "0");
    std::mt19937 gen(42);
    for (int i = 0; i < 20000; ++i) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(gen()));
        const std::string text = formatNumber(f);
        if (std::isfinite(f)) {
            ASSERT_EQ(static_cast<float>(convertNumber(text).value_or(NAN)), f) << text;
        }
        EXPECT_TRUE(std::fabs(f) < 1e-4f || text.find_first_of("eE") == std::string::npos) << text;
    }
}

} // namespace
