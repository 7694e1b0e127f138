// libFuzzer target: any text in the weight box, with both units, several
// heights and the decimal separators of several locales. Beyond the sanitizers'
// checks it aborts when one of these breaks:
//  - ParseWeight returns a finite number or throws OverflowError, reads the same
//    with its spaces, tabs and line feeds removed, agrees with std::from_chars
//    on a text that is nothing but a plain decimal number, and reads a text
//    without the locale's separator as it would where the separator is ".";
//  - ComputeBmi ends in an input error that the weight and height explain, in an
//    OverflowError (never for a readable weight at a row of the list: 48 inches
//    and more cannot overflow), or in finite numbers whose texts, band, colour and
//    blinking are those that FormatBmi, FormatIdealWeight, ClassifyBmi and
//    BandColour give for them.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>

#include "calc/Bmi.h"

namespace {

using namespace ponderix::calc;

void Check(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", invariant);
        std::abort();
    }
}

// The weight, or nothing for an OverflowError.
std::optional<double> Read(std::string_view text, std::string_view separator) {
    try {
        const double weight = ParseWeight(text, separator);
        Check(std::isfinite(weight), "ParseWeight returns a finite number");
        return weight;
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

// std::from_chars as a second opinion, for [-]digits[.digits][e[+-]digits] only.
void CompareWithFromChars(const std::string& text, std::optional<double> weight) {
    if (text.empty() || text.find_first_not_of("0123456789.-+eE") != std::string::npos) {
        return;
    }
    double expected = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), expected);
    if (result.ptr != text.data() + text.size()) {
        return;  // not a whole number by from_chars' rules, e.g. "+1" or "1e"
    }
    if (result.ec == std::errc::result_out_of_range) {
        Check(!weight || *weight == 0, "a number beyond a double overflows or reads 0");
    } else {
        Check(weight && *weight == expected, "ParseWeight rounds like std::from_chars");
    }
}

void CheckOutcome(std::string_view text, WeightUnit unit, std::int16_t index,
                  std::string_view separator, std::optional<double> weight) {
    const bool kilograms = unit == WeightUnit::Kilograms;
    try {
        const BmiOutcome outcome = ComputeBmi(text, unit, index, separator);
        Check(weight.has_value(), "an unreadable weight gives no outcome");
        const double pounds = kilograms ? *weight * 2.2 : *weight;
        if (const auto* error = std::get_if<BmiInputError>(&outcome)) {
            Check(*error == BmiInputError::MissingWeight
                      ? !(pounds > 0)
                      : pounds > 0 && index == HeightTable::NoHeight,
                  "an input error is explained by the weight, then the height");
            return;
        }
        const auto& result = std::get<BmiResult>(outcome);
        Check(pounds > 0 && index != HeightTable::NoHeight, "a result needs weight and height");
        Check(std::isfinite(result.Bmi) && result.Bmi >= 0, "the BMI is finite");
        Check(std::isfinite(result.IdealWeight) && result.IdealWeight > 0,
              "the ideal weight is finite");
        Check(result.BmiText == FormatBmi(result.Bmi, separator), "BmiText is FormatBmi");
        Check(result.IdealWeightText == FormatIdealWeight(result.IdealWeight, unit, separator),
              "IdealWeightText is FormatIdealWeight");
        Check(result.Band == ClassifyBmi(result.Bmi), "Band is ClassifyBmi");
        Check(result.Colour == BandColour(result.Band), "Colour is BandColour");
        Check(result.Blinks == (result.Band == BmiBand::Extreme), "only Extreme blinks");
    } catch (const OverflowError&) {
        const bool row = index >= 0 && index < HeightTable::RowCount;
        const bool finitePounds = weight && std::isfinite(kilograms ? *weight * 2.2 : *weight);
        Check(!(finitePounds && row), "a weight in pounds at a row of the list cannot overflow");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            compact += c;
        }
    }
    const std::optional<double> plain = Read(text, ".");
    CompareWithFromChars(compact, plain);

    // The ends of the list, no height, and any 16-bit index the input's ends spell.
    const std::int16_t odd =
        size == 0 ? 0 : static_cast<std::int16_t>((data[0] << 8) | data[size - 1]);
    for (const std::string_view separator : {".", ",", "\u066b", "e", ""}) {
        const std::optional<double> weight = Read(text, separator);
        const std::optional<double> compactWeight = Read(compact, separator);
        Check(weight.has_value() == compactWeight.has_value() &&
                  (!weight || *weight == *compactWeight),
              "blanks do not change the weight");
        if (separator.empty() || compact.find(separator) == std::string::npos) {
            Check(weight.has_value() == plain.has_value() && (!weight || *weight == *plain),
                  "a text without the separator reads as with the full stop");
        }
        for (const std::int16_t index :
             {std::int16_t{-1}, std::int16_t{0}, std::int16_t{35}, odd}) {
            CheckOutcome(text, WeightUnit::Pounds, index, separator, weight);
            CheckOutcome(text, WeightUnit::Kilograms, index, separator, weight);
        }
    }
    return 0;
}
