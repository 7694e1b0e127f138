// Body mass index: the height list, the reading of a typed weight, the BMI and
// ideal-weight arithmetic, the bands with their colours, and the display texts.
//
// Pure logic on the standard library: no window, no locale lookup, no state.
// The caller passes the decimal separator that its user's locale writes.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace ponderix::calc {

// A 24-bit colour: red, green and blue, each 0 to 255.
struct Colour {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;

    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

// The unit of a typed weight.
enum class WeightUnit : std::int16_t { Kilograms = 0, Pounds = 1 };

enum class BmiBand { Underweight, Normal, Overweight, Obese, Extreme };

// What an unusable input gives instead of a result.
enum class BmiInputError { MissingWeight, MissingHeight };

// "Please specify weight" / "Please specify height".
std::string_view Message(BmiInputError error);

// A number left the range of a double: a weight text beyond it, a kilogram weight
// whose pound value overflows, or (impossible with the 36 rows) a height sum beyond
// 16 bits, a division by zero or an invalid operation.
class OverflowError : public std::overflow_error {
public:
    using std::overflow_error::overflow_error;
};

// The 36 rows of the height list, 4' to 6' 11", in that fixed order.
// Row index = (feet - 4) * 12 + inches; height in inches = row index + 48.
class HeightTable {
public:
    static constexpr int RowCount = 36;
    static constexpr std::int16_t NoHeight = -1;

    // "4'", "4' 1\"", ... "6' 11\"". Throws std::out_of_range outside 0..35.
    static std::string_view Caption(int row);
    static std::int16_t Inches(int row);
};

struct BmiResult {
    double Bmi = 0;          // unrounded
    double IdealWeight = 0;  // for a BMI of 22.5, in the chosen unit, unrounded
    std::string BmiText;
    std::string IdealWeightText;
    BmiBand Band = BmiBand::Normal;
    calc::Colour Colour;
    bool Blinks = false;
};

using BmiOutcome = std::variant<BmiResult, BmiInputError>;

inline constexpr std::string_view DefaultDecimalSeparator = ".";

// The number the text begins with (see ParseWeight.cpp for the exact reading rules);
// 0 for an empty text or one that does not begin with a number. The full stop is
// always a decimal point, and so is the locale's decimal separator.
// Throws OverflowError when that number lies beyond the range of a double.
double ParseWeight(std::string_view text,
                   std::string_view decimalSeparator = DefaultDecimalSeparator);

// Reads the weight, converts kilograms to pounds, checks the weight and then the
// height, computes and formats. heightIndex is -1 (none chosen) or a row index;
// decimalSeparator is the locale's, for the weight read and the texts written.
// Throws OverflowError when an arithmetic step leaves the range of a double.
BmiOutcome ComputeBmi(std::string_view weightText, WeightUnit unit, std::int16_t heightIndex,
                      std::string_view decimalSeparator = DefaultDecimalSeparator);

BmiBand ClassifyBmi(double bmi);
Colour BandColour(BmiBand band);
// The band in words, as the legend names it: "Underweight", "Normal", "Overweight",
// "Obese", "Extreme". A result's colour says the same to those who see it.
std::string_view BandName(BmiBand band);
// 255, 0, 0 for true; 175, 0, 0 for false.
Colour BlinkColour(bool phase);

// Both texts round to hundredths, halves away from zero. They throw OverflowError
// for a value that is not finite, which ComputeBmi never passes.
// "###.0#": 21.33, 22.4, 22.0, .1, .0, 1234.5
std::string FormatBmi(double bmi, std::string_view decimalSeparator = DefaultDecimalSeparator);
// "Weight for 22.5 BMI : " + "###.00" + " kgs." or " lbs"
std::string FormatIdealWeight(double idealWeight, WeightUnit unit,
                              std::string_view decimalSeparator = DefaultDecimalSeparator);

}  // namespace ponderix::calc
