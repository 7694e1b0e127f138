#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "calc/Bmi.h"

namespace ponderix::calc {
namespace {

constexpr auto Lb = WeightUnit::Pounds;
constexpr auto Kg = WeightUnit::Kilograms;
using enum BmiBand;

TEST(HeightTable, CaptionsAndInchesOfTellingRows) {
    const std::vector<std::string> captions = {"4'",     "4' 1\"", "4' 11\"", "5'",
                                               "5' 1\"", "5' 8\"", "6' 11\""};
    const std::vector<int> rows = {0, 1, 11, 12, 13, 20, 35};
    EXPECT_EQ(HeightTable::RowCount, 36);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(HeightTable::Caption(rows[i]), captions[i]);
        EXPECT_EQ(HeightTable::Inches(rows[i]), rows[i] + 48);
    }
    for (const int row : {-1, 36}) {
        EXPECT_THROW(HeightTable::Caption(row), std::out_of_range);
        EXPECT_THROW(HeightTable::Inches(row), std::out_of_range);
    }
}

TEST(ClassifyBmi, EachLimitBelongsToTheBandAbove) {
    const std::pair<BmiBand, std::vector<double>> cases[] = {
        {Underweight, {-HUGE_VAL, 0, std::nextafter(20.0, 0.0)}},
        {Normal, {20, 24.996}},
        {Overweight, {25, 29.999}},
        {Obese, {30, 39.999}},
        {Extreme, {40, 1e300, HUGE_VAL, std::nan("")}}};  // NaN fails every limit
    for (const auto& [band, values] : cases) {
        for (const double bmi : values) {
            EXPECT_EQ(ClassifyBmi(bmi), band) << bmi;
        }
    }
}

TEST(BandColour, ColoursNamesBlinkingAndMessages) {
    const std::tuple<BmiBand, Colour, std::string_view> cases[] = {
        {Underweight, {0, 0, 255}, "Underweight"},
        {Normal, {0, 128, 0}, "Normal"},
        {Overweight, {255, 128, 64}, "Overweight"},
        {Obese, {200, 0, 0}, "Obese"},
        {Extreme, {255, 0, 0}, "Extreme"}};
    for (const auto& [band, colour, name] : cases) {
        EXPECT_EQ(BandColour(band), colour);
        EXPECT_EQ(BandName(band), name);
    }
    EXPECT_EQ(BlinkColour(true), (Colour{255, 0, 0}));
    EXPECT_EQ(BlinkColour(false), (Colour{175, 0, 0}));
    EXPECT_EQ(Message(BmiInputError::MissingWeight), "Please specify weight");
    EXPECT_EQ(Message(BmiInputError::MissingHeight), "Please specify height");
}

TEST(ComputeBmi, Results) {
    const struct {
        std::string Text;
        WeightUnit Unit;
        std::int16_t Index;
        double Bmi;
        std::string BmiText;  // "" for 307 and 308 digits, whose writing FormatBmi tests
        BmiBand Band;
        std::string IdealWeightText;
    } cases[] = {{"140", Lb, 20, 21.3300173, "21.33", Normal, "147.68 lbs"},
                 {"70", Kg, 20, 23.4630190, "23.46", Normal, "67.13 kgs."},
                 {"220", Lb, 20, 33.5185986, "33.52", Obese, "147.68 lbs"},
                 {"140", Lb, 0, 42.8081597, "42.81", Extreme, "73.58 lbs"},
                 {"70", Kg, 0, 47.0889757, "47.09", Extreme, "33.45 kgs."},
                 {"140", Lb, 35, 14.3170271, "14.32", Underweight, "220.02 lbs"},
                 {"1", Lb, 35, 0.10226448, ".1", Underweight, "220.02 lbs"},
                 {"0.01", Lb, 0, 0.0030577257, ".0", Underweight, "73.58 lbs"},
                 {"8.1e307", Kg, 20, 2.7150065e307, "", Extreme, "67.13 kgs."},
                 {"1e308", Lb, 0, 3.0577257e307, "", Extreme, "73.58 lbs"},
                 // Past the list the arithmetic goes on with index + 48 inches, sign and all.
                 {"140", Lb, 100, 4.5028305, "4.5", Underweight, "699.56 lbs"},
                 {"140", Lb, -96, 42.8081597, "42.81", Extreme, "73.58 lbs"},
                 {"140", Lb, 32719, 9.1861952e-5, ".0", Underweight, "34290584.11 lbs"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text + " at " + std::to_string(c.Index));
        const auto outcome = ComputeBmi(c.Text, c.Unit, c.Index);
        ASSERT_TRUE(std::holds_alternative<BmiResult>(outcome));
        const auto& result = std::get<BmiResult>(outcome);
        EXPECT_NEAR(result.Bmi, c.Bmi, c.Bmi * 1e-6);
        EXPECT_TRUE(c.BmiText.empty() || result.BmiText == c.BmiText) << result.BmiText;
        EXPECT_EQ(result.IdealWeightText, "Weight for 22.5 BMI : " + c.IdealWeightText);
        EXPECT_EQ(result.Band, c.Band);
        EXPECT_EQ(result.Colour, BandColour(c.Band));
        EXPECT_EQ(result.Blinks, c.Band == Extreme);
    }
}

TEST(ComputeBmi, InputErrorsWeightFirst) {
    constexpr auto Weight = BmiInputError::MissingWeight;
    constexpr auto Height = BmiInputError::MissingHeight;
    const struct {
        std::string Text;
        WeightUnit Unit;
        std::int16_t Index;
        BmiInputError Error;
    } cases[] = {
        {"", Lb, 20, Weight},           {"abc", Kg, 20, Weight}, {"0", Lb, 20, Weight},
        {"-70", Kg, 20, Weight},        {"0.0", Lb, 20, Weight}, {"1e-400", Lb, 20, Weight},
        {"&HFFFFFFFF", Lb, 20, Weight}, {"", Lb, -1, Weight},    {"", Lb, -48, Weight},
        {"", Lb, 32720, Weight},        {"70", Kg, -1, Height},  {"1e308", Lb, -1, Height}};
    for (const auto& c : cases) {
        const auto outcome = ComputeBmi(c.Text, c.Unit, c.Index);
        ASSERT_TRUE(std::holds_alternative<BmiInputError>(outcome)) << c.Text;
        EXPECT_EQ(std::get<BmiInputError>(outcome), c.Error) << c.Text << " at " << c.Index;
    }
}

TEST(ComputeBmi, OverflowingStepsThrow) {
    const struct {
        std::string Text;
        WeightUnit Unit;
        std::int16_t Index;
    } cases[] = {{"1e400", Lb, 20}, {"8.2e307", Kg, 20}, {"-1e308", Kg, 20}, {"70", Lb, 32720},
                 {"70", Lb, 32767}, {"70", Lb, -48},     {"1e308", Lb, -47}};
    for (const auto& c : cases) {
        EXPECT_THROW(ComputeBmi(c.Text, c.Unit, c.Index), OverflowError) << c.Text << c.Index;
    }
}

TEST(ComputeBmi, WritesTheGivenDecimalSeparator) {
    const auto result = std::get<BmiResult>(ComputeBmi("140", Lb, 20, "\u066b"));
    EXPECT_EQ(result.BmiText, "21\u066b33");
    EXPECT_EQ(result.IdealWeightText, "Weight for 22.5 BMI : 147\u066b68 lbs");
    EXPECT_EQ(std::get<BmiResult>(ComputeBmi("70", Kg, 20, ",")).BmiText, "23,46");
}

TEST(ComputeBmi, ReadsTheWeightWithTheLocalesSeparatorItWrites) {
    const auto comma = std::get<BmiResult>(ComputeBmi("70,5", Kg, 20, ","));
    const auto point = std::get<BmiResult>(ComputeBmi("70.5", Kg, 20, "."));
    EXPECT_EQ(comma.Bmi, point.Bmi);
    EXPECT_EQ(comma.BmiText, "23,63");
    EXPECT_EQ(point.BmiText, "23.63");
    EXPECT_EQ(std::get<BmiResult>(ComputeBmi("70,5", Kg, 20, ".")).BmiText, "23.46")
        << "where the full stop is the separator, the comma ends the number";
}

}  // namespace
}  // namespace ponderix::calc
