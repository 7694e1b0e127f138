#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "calc/Bmi.h"

namespace ponderix::calc {
namespace {

struct Reading {
    std::string Text;
    double Expected;
};

TEST(ParseWeight, ReadsTheNumberTheTextBeginsWith) {
    const Reading cases[] = {
        {"", 0},
        {"abc", 0},
        {"140", 140},
        {"1 40", 140},
        {" 7 0 ", 70},
        {"\t7\n0", 70},
        {"7\r0", 7},
        {"70kg", 70},
        {"70,5", 70},
        {"70.5", 70.5},
        {"+80", 80},
        {"-70", -70},
        {"- 7 0", -70},
        {".5", 0.5},
        {"5.", 5},
        {"1.2.3", 1.2},
        {".", 0},
        {"+", 0},
        {"+-5", 0},
        {"1e2", 100},
        {"1E2", 100},
        {"1d2", 100},
        {"1D-2", 0.01},
        {"1e+2", 100},
        {"1 e 2", 100},
        {"1e", 1},
        {"1e+", 1},
        {"1ex5", 1},
        {"e5", 0},
        {".e5", 0},
        {"0.0", 0},
        {"1e-400", 0},
        {"1e-310", 1e-310},
        {"0e99999999999999999999", 0},
        {"1e-99999999999999999999", 0},
        {"0.00000000000000000000000000000000000000001e41", 1},
        // Correct rounding: the nearest double, ties to even.
        {"9007199254740993", 9007199254740992.0},
        {"2.2250738585072011e-308", 2.2250738585072011e-308},
        {"1.7976931348623158e308", std::numeric_limits<double>::max()},
        // "&H" and "&O" read 32 bits in two's complement; no sign may precede them.
        {"&HFF", 255},
        {"&hff", 255},
        {"& H 1 0", 16},
        {"&H7FFFFFFF", 2147483647},
        {"&HFFFFFFFF", -1},
        {"&H80000000", -2147483648.0},
        {"&H000000001", 1},
        {"&HFF.5", 255},
        {"&H", 0},
        {"&HG", 0},
        {"&O17", 15},
        {"&o17", 15},
        {"&O37777777777", -1},
        {"&O8", 0},
        {"&X1", 0},
        {"-&H10", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWeight(c.Text), c.Expected) << '"' << c.Text << '"';
    }
}

// Where the locale writes decimals with another separator, a weight typed the
// way the program writes numbers reads as it looks; the full stop still works.
TEST(ParseWeight, TakesTheLocalesDecimalSeparatorBesidesTheFullStop) {
    struct Case {
        std::string_view Separator;
        std::string Text;
        double Expected;
    };
    const Case cases[] = {
        {",", "70,5", 70.5},
        {",", "70.5", 70.5},
        {",", " 7 0 , 5 kg", 70.5},
        {",", ",5", 0.5},
        {",", "70,5,3", 70.5},
        {",", "70.5,3", 70.5},
        {",", "70,5.3", 70.5},
        {",", "1,5e2", 150},
        {",", "&H1,5", 1},
        {".", "70,5", 70},
        {"", "70,5", 70},
        {"\u066b", "70\u066b5", 70.5},  // the Arabic decimal separator, two bytes
        {"\u066b", "70\xd9", 70},       // half of it is no point
        // A separator that could be part of a number is never taken as a point.
        {"5", "7555", 7555},
        {"e", "7e2", 700},
        {"-", "7-5", 7},
        {" ", "7 5", 75},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseWeight(c.Text, c.Separator), c.Expected)
            << '"' << c.Text << "\" with \"" << c.Separator << '"';
    }
}

TEST(ParseWeight, DigitsBeyondTheKeptOnesStillDecideTheRounding) {
    // Exactly halfway between 1 and the next double rounds to even, 1; anything more,
    // even a digit a thousand places on, rounds up.
    const std::string half = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(ParseWeight(half), 1.0);
    EXPECT_EQ(ParseWeight(half + std::string(1000, '0') + "1"), 1 + 0x1p-52);
    EXPECT_EQ(ParseWeight(half + std::string(1000, '0')), 1.0);
}

TEST(ParseWeight, NumbersBeyondADoubleOverflow) {
    const std::string cases[] = {"1e400",
                                 "-1e400",
                                 std::string(400, '9'),
                                 "1.7976931348623159e308",
                                 "1e99999999999999999999",
                                 "&H100000000",
                                 "&O40000000000"};
    for (const auto& text : cases) {
        EXPECT_THROW(ParseWeight(text), OverflowError) << '"' << text << '"';
    }
}

// How fast such texts are read is the benchmark's business; here they must
// simply give the right value, or the overflow, without exhausting anything.
TEST(ParseWeight, ReadsAMegabyteText) {
    constexpr std::size_t Megabyte = 1 << 20;
    const Reading cases[] = {{std::string(Megabyte, ' '), 0},
                             {"1" + std::string(Megabyte, ' ') + "40", 140},
                             {std::string(Megabyte, '0') + "7", 7},
                             {"0." + std::string(Megabyte, '3'), 1.0 / 3},
                             {"&H" + std::string(Megabyte, '0') + "F", 15}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWeight(c.Text), c.Expected) << c.Text.substr(0, 8);
    }
    EXPECT_THROW(ParseWeight(std::string(Megabyte, '1')), OverflowError);
}

}  // namespace
}  // namespace ponderix::calc
