// The display texts of the BMI and of the ideal weight.
//
// Both round to hundredths in decimal, halves away from zero, on the value as a
// person reads it: the double is first written with 15 significant digits, so
// 2.675 (stored as 2.67499999999999982236431605997495353221893310546875) shows as
// 2.68. The integer part is written in full, with no thousands separators and
// nothing at all for 0 (".1"); a minus sign is written only when the rounded value
// is not 0, so -0.001 shows as ".0", never "-.0".
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "calc/Bmi.h"

namespace ponderix::calc {
namespace {

// A value rounded to hundredths, as text: [-]Whole.TenthsHundredths.
struct Rounded {
    bool Negative = false;  // and not 0 once rounded
    std::string Whole;      // no leading zeros; "" for 0
    char Tenths = '0';
    char Hundredths = '0';
};

// Adds one to a text of decimal digits ("" counts as 0).
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

Rounded RoundToHundredths(double value) {
    if (!std::isfinite(value)) {
        throw OverflowError("a number that is not finite has no display text");
    }
    // [-]d.dddddddddddddde[+-]xx: std::to_chars, unlike printf, never writes the
    // C locale's decimal point, which a toolkit may have set to a comma.
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));

    Rounded rounded;
    const bool negative = text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    std::string significand(1, text[0]);  // 15 digits; digit k weighs 10^(exponent - k)
    significand += text.substr(2, e - 2);
    int exponent = 0;
    const std::string_view exponentText = text.substr(e + 2);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (text[e + 1] == '-') {
        exponent = -exponent;
    }

    // The digits of the value in hundredths: those weighing 10^-2 or more, then
    // rounded up when the next digit is 5 or more.
    const int kept = exponent + 3;
    std::string hundredths;
    if (kept > 0) {
        const auto count = static_cast<std::size_t>(kept);
        hundredths = significand.substr(0, count);
        if (count > significand.size()) {
            hundredths.append(count - significand.size(), '0');
        }
    }
    if (kept >= 0 && static_cast<std::size_t>(kept) < significand.size() &&
        significand[static_cast<std::size_t>(kept)] >= '5') {
        Increment(hundredths);
    }
    if (hundredths.size() < 3) {
        hundredths.insert(0, 3 - hundredths.size(), '0');
    }

    const std::size_t wholeDigits = hundredths.size() - 2;
    const std::size_t firstNonZero = hundredths.find_first_not_of('0');
    if (firstNonZero < wholeDigits) {
        rounded.Whole = hundredths.substr(firstNonZero, wholeDigits - firstNonZero);
    }
    rounded.Tenths = hundredths[wholeDigits];
    rounded.Hundredths = hundredths[wholeDigits + 1];
    rounded.Negative = negative && firstNonZero != std::string::npos;
    return rounded;
}

// [-]Whole, the separator and the tenths: what both patterns begin with.
void AppendUpToTenths(std::string& text, const Rounded& rounded,
                      std::string_view decimalSeparator) {
    if (rounded.Negative) {
        text += '-';
    }
    text += rounded.Whole;
    text += decimalSeparator;
    text += rounded.Tenths;
}

}  // namespace

std::string FormatBmi(double bmi, std::string_view decimalSeparator) {
    const Rounded rounded = RoundToHundredths(bmi);
    std::string text;
    AppendUpToTenths(text, rounded, decimalSeparator);
    if (rounded.Hundredths != '0') {
        text += rounded.Hundredths;
    }
    return text;
}

std::string FormatIdealWeight(double idealWeight, WeightUnit unit,
                              std::string_view decimalSeparator) {
    const Rounded rounded = RoundToHundredths(idealWeight);
    std::string text = "Weight for 22.5 BMI : ";
    AppendUpToTenths(text, rounded, decimalSeparator);
    text += rounded.Hundredths;
    text += unit == WeightUnit::Kilograms ? " kgs." : " lbs";
    return text;
}

}  // namespace ponderix::calc
