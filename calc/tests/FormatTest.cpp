#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "calc/Bmi.h"

namespace ponderix::calc {
namespace {

struct Display {
    double Value;
    std::string Bmi;     // "###.0#"
    std::string Weight;  // "###.00"
};

TEST(FormatBmi, RoundsHalvesAwayFromZeroOnFifteenDigits) {
    const Display cases[] = {
        {21.330017, "21.33", "21.33"},
        {22.4, "22.4", "22.40"},
        {22, "22.0", "22.00"},
        {22.999, "23.0", "23.00"},
        {0.10226, ".1", ".10"},
        {0.003, ".0", ".00"},
        {1234.5, "1234.5", "1234.50"},
        {2.675, "2.68", "2.68"},
        {1.005, "1.01", "1.01"},
        {0.125, ".13", ".13"},
        {24.996, "25.0", "25.00"},
        {0.005, ".01", ".01"},
        {0.0049999, ".0", ".00"},
        {9.995, "10.0", "10.00"},
        {99999.999, "100000.0", "100000.00"},
        {1e15 + 0.5, "1000000000000000.0", "1000000000000000.00"},
        {0, ".0", ".00"},
        {1e-300, ".0", ".00"},
        // A minus sign only where the rounded value is not 0.
        {-0.1, "-.1", "-.10"},
        {-2.675, "-2.68", "-2.68"},
        {-0.005, "-.01", "-.01"},
        {-0.001, ".0", ".00"},
        {-0.0, ".0", ".00"},
        {1e300, "1" + std::string(300, '0') + ".0", "1" + std::string(300, '0') + ".00"},
        {std::numeric_limits<double>::max(), "179769313486232" + std::string(294, '0') + ".0",
         "179769313486232" + std::string(294, '0') + ".00"}};
    const std::string prefix = "Weight for 22.5 BMI : ";
    for (const auto& c : cases) {
        EXPECT_EQ(FormatBmi(c.Value), c.Bmi) << c.Value;
        EXPECT_EQ(FormatIdealWeight(c.Value, WeightUnit::Pounds), prefix + c.Weight + " lbs");
        EXPECT_EQ(FormatIdealWeight(c.Value, WeightUnit::Kilograms), prefix + c.Weight + " kgs.");
    }
}

TEST(FormatBmi, WritesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatBmi(21.330017, ","), "21,33");
    EXPECT_EQ(FormatBmi(0.10226, "\u066b"), "\u066b1");
    EXPECT_EQ(FormatIdealWeight(147.68, WeightUnit::Pounds, "\u066b"),
              "Weight for 22.5 BMI : 147\u066b68 lbs");
}

TEST(FormatBmi, RefusesValuesThatAreNotFinite) {
    for (const double value : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_THROW(FormatBmi(value), OverflowError);
        EXPECT_THROW(FormatIdealWeight(value, WeightUnit::Pounds), OverflowError);
    }
}

}  // namespace
}  // namespace ponderix::calc
