#include "store/Numbers.h"
#include "store/Paths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

struct NumberCase {
    const char* text;
    double value;
};

TEST(LeadingNumber, TakesTheLongestNumericPrefixAndNeverFails)
{
    const NumberCase cases[] = {
        {"", 0},         {"abc", 0},        {"7", 7},           {" 7 ", 7},
        {"1 2 3", 123},  {"\t-1\n2", -12},  {"-1", -1},         {"+4", 4},
        {"1.5", 1.5},    {".25", 0.25},     {"1.", 1},          {"1e3", 1000},
        {"1E+2x", 100},  {"2e-1", 0.2},     {"1e", 1},          {"1e+", 1},
        {"12abc", 12},   {"3.5.1", 3.5},    {"-", 0},           {".", 0},
        {"&H1F", 31},    {"&h1f", 31},      {"&HFFG", 255},     {"&O17", 15},
        {"&o18", 1},     {"&H", 0},         {"&X1", 0},         {"-&H1", 0},
        {"0x10", 0},     {"000123", 123},   {"0.000001", 1e-6}, {"-0", 0},
        {"1,5", 1},      {"\r5", 0},       {"inf", 0},         {"nan", 0},
        {"+-1", 0},      {"-+1", 0},        {"+.5", 0.5},       {"0x1p3", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(LeadingNumber, HugeFieldsAreReadInOnePass)
{
    std::string digits(10'000'000, '7');
    EXPECT_TRUE(std::isinf(LeadingNumber(digits)));
    EXPECT_DOUBLE_EQ(LeadingNumber("0." + std::string(10'000'000, '0') + "1"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1." + std::string(10'000'000, '0') + "1"), 1);
    EXPECT_DOUBLE_EQ(LeadingNumber("5e" + std::string(10'000'000, '0')), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber("&H" + std::string(10'000'000, 'F')), std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(LeadingNumber(std::string(10'000'000, ' ') + "9"), 9);
    // Many significant digits still convert correctly.
    EXPECT_DOUBLE_EQ(LeadingNumber("12345678901234567890123456789012345678901234567890"), 1.2345678901234568e49);
}

TEST(LeadingNumber, BeyondADoubleIsInfiniteOrZeroBySizeNotByTheLookOfTheExponent)
{
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
        {"1e400", inf},          {"-1e400", -inf},        {"1e-400", 0},
        {"0.0001e312", 1e308},   {"0.00001e-320", 0},     {"123e-330", 0},
        {"1000e306", inf},       {"0.001e309", 1e306},    {".1e309", 1e308},
        {"1e99999999999999999999", inf},                  {"9e-99999999999999999999", 0},
        {"4.9e-324", 4.9e-324},  {"2e-324", 0},           {"1.7976931348623157e308", 1.7976931348623157e308},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::signbit(LeadingNumber("-1e-400")));
}

TEST(RoundToInt16, RoundsHalvesToEvenAndRejectsOverflow)
{
    const struct {
        double in;
        std::optional<std::int16_t> out;
    } cases[] = {
        {0.5, 0},          {1.5, 2},         {2.5, 2},           {-0.5, 0},
        {-1.5, -2},        {-2.5, -2},       {2.4999, 2},        {2.5001, 3},
        {32767, 32767},    {32767.4, 32767}, {32767.5, std::nullopt},
        {-32768, -32768},  {-32768.5, -32768}, {-32768.6, std::nullopt},
        {1e10, std::nullopt}, {std::numeric_limits<double>::infinity(), std::nullopt},
        {std::nan(""), std::nullopt},
        {-3.5, -4},        {3.5, 4},         {-0.0, 0},          {-0.4, 0},
        {0x1p52, std::nullopt}, {-0x1p60, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundToInt16(c.in), c.out) << c.in;
    EXPECT_EQ(RoundToUInt8(255.5), std::nullopt);
    EXPECT_EQ(RoundToUInt8(254.5), 254);
    EXPECT_EQ(RoundToUInt8(-0.5), 0);
    EXPECT_EQ(RoundToUInt8(-0.6), std::nullopt);
}

TEST(ConvertNumber, AcceptsOneWholeNumberWithSurroundingBlanks)
{
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"1200", 1200},   {" 7 ", 7},     {"\t-300\t", -300}, {"-0", 0},
        {"1e3", 1000},    {"1.5E-1", 0.15}, {".5", 0.5},      {"&H1F", 31},
        {" &O17 ", 15},   {"+2", 2},
        {"", std::nullopt},     {"   ", std::nullopt},  {"abc", std::nullopt},
        {"12abc", std::nullopt}, {"1 2", std::nullopt}, {"1e", std::nullopt},
        {"&H", std::nullopt},   {"-", std::nullopt},    {".", std::nullopt},
        {"1\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::signbit(*ConvertNumber("-0")));
    EXPECT_EQ(ConvertNumber(std::string(10'000'000, '1') + "x"), std::nullopt);
}

TEST(FormatNumber, WritesWholeNumbersPlainlyAndFractionsThatReadBack)
{
    const struct {
        float in;
        const char* out;
    } cases[] = {
        {1200, "1200"}, {-300, "-300"}, {0, "0"},         {-0.0f, "0"},
        {1.5f, "1.5"},  {0.1f, "0.1"},  {435.1f, "435.1"}, {16777216, "16777216"},
        {-1234.567f, "-1234.567"}, {std::numeric_limits<float>::infinity(), "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.in), c.out) << c.in;

    std::mt19937 gen(42);
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t bits = gen();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f))
            continue;
        std::string text = FormatNumber(f);
        std::optional<double> back = ConvertNumber(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(static_cast<float>(*back), f) << text;
        if (std::fabs(f) >= 1e-4f) {
            EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        }
    }
}

TEST(Paths, TitleFolderAndJoin)
{
    EXPECT_EQ(PathTitle("/usr/bin/gimp-2.10"), "gimp-2");
    EXPECT_EQ(PathTitle("/home/me/notes.tar.gz"), "notes");
    EXPECT_EQ(PathTitle("/home/me/Makefile"), "Makefile");
    EXPECT_EQ(PathTitle("/home/me/"), "");
    EXPECT_EQ(PathTitle("plain.txt"), "plain");
    EXPECT_EQ(PathFolder("/home/me/notes.txt"), "/home/me/");
    EXPECT_EQ(PathFolder("notes.txt"), "");
    EXPECT_EQ(PathFolder("/"), "/");
    EXPECT_EQ(JoinPath("/data", "Toolbars.cfg"), "/data/Toolbars.cfg");
    EXPECT_EQ(JoinPath("/data/", "Toolbars.cfg"), "/data/Toolbars.cfg");
    EXPECT_EQ(JoinPath("", "Toolbars.cfg"), "Toolbars.cfg");
}

} // namespace
