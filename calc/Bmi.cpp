// The height list, the bands with their colours, the messages and the BMI
// arithmetic. The weight reader lives in ParseWeight.cpp, the display texts in
// Format.cpp.
#include "calc/Bmi.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ponderix::calc {
namespace {

constexpr int ShortestInches = 48;
constexpr double PoundsPerKilogram = 2.2;
constexpr double BmiFactor = 704.5;
constexpr double ReferenceBmi = 22.5;

// A caption of the height list, kept in the program's image: "6' 11\"" is the longest.
struct Caption {
    std::array<char, 8> Characters{};
    std::size_t Size = 0;

    constexpr void Append(char c) { Characters[Size++] = c; }
};

// Feet from 4 to 6, and within each foot the inches from 0 to 11: "4'", "4' 1\"",
// ... "4' 11\"", "5'", ... A whole foot has neither the space nor the inch mark.
constexpr std::array<Caption, HeightTable::RowCount> BuildCaptions() {
    std::array<Caption, HeightTable::RowCount> captions{};
    std::size_t row = 0;
    for (int feet = 4; feet <= 6; ++feet) {
        for (int inches = 0; inches <= 11; ++inches) {
            Caption& caption = captions[row++];
            caption.Append(static_cast<char>('0' + feet));
            caption.Append('\'');
            if (inches > 0) {
                caption.Append(' ');
                if (inches >= 10) {
                    caption.Append(static_cast<char>('0' + inches / 10));
                }
                caption.Append(static_cast<char>('0' + inches % 10));
                caption.Append('"');
            }
        }
    }
    return captions;
}

constexpr auto Captions = BuildCaptions();

std::size_t CheckedRow(int row) {
    if (row < 0 || row >= HeightTable::RowCount) {
        throw std::out_of_range("the height list has no row " + std::to_string(row));
    }
    return static_cast<std::size_t>(row);
}

// Every step of the arithmetic goes through these: an invalid operation, a
// division by zero or a result too large for a double ends the computation
// before anything reaches the display. Underflow is no error.
double Finite(double value) {
    if (!std::isfinite(value)) {
        throw OverflowError("a step of the BMI arithmetic left the range of a double");
    }
    return value;
}

double Multiply(double left, double right) {
    return Finite(left * right);
}

double Divide(double dividend, double divisor) {
    if (divisor == 0) {
        throw OverflowError("division by zero in the BMI arithmetic");
    }
    return Finite(dividend / divisor);
}

}  // namespace

std::string_view Message(BmiInputError error) {
    switch (error) {
        case BmiInputError::MissingWeight:
            return "Please specify weight";
        case BmiInputError::MissingHeight:
            return "Please specify height";
    }
    throw std::invalid_argument("not an input error");
}

std::string_view HeightTable::Caption(int row) {
    const auto& caption = Captions[CheckedRow(row)];
    return {caption.Characters.data(), caption.Size};
}

std::int16_t HeightTable::Inches(int row) {
    return static_cast<std::int16_t>(static_cast<int>(CheckedRow(row)) + ShortestInches);
}

BmiBand ClassifyBmi(double bmi) {
    // The unrounded value decides, and each limit belongs to the band above it.
    // A NaN fails every test and lands in the last band.
    if (bmi < 20) {
        return BmiBand::Underweight;
    }
    if (bmi < 25) {
        return BmiBand::Normal;
    }
    if (bmi < 30) {
        return BmiBand::Overweight;
    }
    if (bmi < 40) {
        return BmiBand::Obese;
    }
    return BmiBand::Extreme;
}

Colour BandColour(BmiBand band) {
    switch (band) {
        case BmiBand::Underweight:
            return {0, 0, 255};
        case BmiBand::Normal:
            return {0, 128, 0};
        case BmiBand::Overweight:
            return {255, 128, 64};
        case BmiBand::Obese:
            return {200, 0, 0};
        case BmiBand::Extreme:
            return {255, 0, 0};
    }
    throw std::invalid_argument("not a BMI band");
}

std::string_view BandName(BmiBand band) {
    switch (band) {
        case BmiBand::Underweight:
            return "Underweight";
        case BmiBand::Normal:
            return "Normal";
        case BmiBand::Overweight:
            return "Overweight";
        case BmiBand::Obese:
            return "Obese";
        case BmiBand::Extreme:
            return "Extreme";
    }
    throw std::invalid_argument("not a BMI band");
}

Colour BlinkColour(bool phase) {
    return phase ? Colour{255, 0, 0} : Colour{175, 0, 0};
}

// Any height index but -1 goes through the arithmetic as it stands: the window
// only ever passes -1 or a row, and an index past the list is not an input error
// but a height of index + 48 inches, which fails only where the arithmetic does
// (a sum beyond 16 bits, or a height of 0 inches: a division by zero).
BmiOutcome ComputeBmi(std::string_view weightText, WeightUnit unit, std::int16_t heightIndex,
                      std::string_view decimalSeparator) {
    double pounds = ParseWeight(weightText, decimalSeparator);
    if (unit == WeightUnit::Kilograms) {
        pounds = Multiply(pounds, PoundsPerKilogram);
    }
    if (!(pounds > 0)) {
        return BmiInputError::MissingWeight;
    }
    if (heightIndex == HeightTable::NoHeight) {
        return BmiInputError::MissingHeight;
    }
    const int inches = heightIndex + ShortestInches;
    if (inches > std::numeric_limits<std::int16_t>::max()) {
        throw OverflowError("a height beyond 16 bits");
    }
    const double height = static_cast<std::int16_t>(inches);
    const double heightSquared = Multiply(height, height);

    BmiResult result;
    result.Bmi = Multiply(Divide(pounds, heightSquared), BmiFactor);
    result.IdealWeight = Divide(Multiply(heightSquared, ReferenceBmi), BmiFactor);
    if (unit == WeightUnit::Kilograms) {
        result.IdealWeight = Divide(result.IdealWeight, PoundsPerKilogram);
    }
    result.BmiText = FormatBmi(result.Bmi, decimalSeparator);
    result.IdealWeightText = FormatIdealWeight(result.IdealWeight, unit, decimalSeparator);
    result.Band = ClassifyBmi(result.Bmi);
    result.Colour = BandColour(result.Band);
    result.Blinks = result.Band == BmiBand::Extreme;
    return result;
}

}  // namespace ponderix::calc
