// Reading of the weight as the user typed it.
//
// The rules, in the order the reader meets them:
//  - spaces, tabs and line feeds are dropped wherever they stand, also inside the
//    number ("1 40" is 140); a carriage return is not dropped, it ends the number;
//  - an optional sign, + or -;
//  - decimal digits with at most one decimal point: the full stop always, and
//    also the decimal separator of the user's locale where that is another one,
//    so that a weight is read the way the program writes numbers ("70,5" is 70.5
//    where the comma is the separator, 70 where the full stop is); a separator
//    that could be part of a number (a digit, a sign, a letter, a blank) is not
//    taken as a point;
//  - an optional exponent: E or D in either case, an optional sign and digits
//    ("1e2" and "1D2" are 100); a letter that no digit follows ends the number
//    before it ("1e" is 1);
//  - the first character that cannot continue the number ends it, and the rest of
//    the text is ignored ("70kg" is 70);
//  - "&H" or "&O" (either case) at the start read a hexadecimal or octal integer
//    instead; no sign may stand before them;
//  - a text that does not begin with a number, or an empty one, is 0.
//
// The digits are never summed in a double: the reader collects the significant
// digits and the power of ten and hands a short canonical text to std::from_chars,
// which rounds correctly. It keeps at most MaxSignificantDigits digits and marks
// whether any non-zero digit was dropped after them: that is enough to round any
// decimal text correctly, since the halfway points between two doubles have at
// most 767 significant digits. So a text of any length is read in one pass, in
// memory of a fixed size, and no counter can overflow.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

#include "calc/Bmi.h"

namespace ponderix::calc {
namespace {

constexpr std::size_t MaxSignificantDigits = 800;

// Where an exponent stops counting: no text that fits in memory has enough digits
// to bring a number with such an exponent back within a double's range. The digit
// counts themselves are bounded by the text's length, so nothing can overflow.
constexpr std::int64_t ExponentLimit = 1'000'000'000'000'000;

// A cursor over the text that steps over spaces, tabs and line feeds, so that the
// rest of the reader never sees them.
class Reader {
public:
    explicit Reader(std::string_view text) : m_Text(text) { SkipBlanks(); }

    // The current character, or '\0' at the end (which continues no number).
    char Peek() const { return m_Position < m_Text.size() ? m_Text[m_Position] : '\0'; }
    void Advance() {
        ++m_Position;
        SkipBlanks();
    }
    // Steps over the token when the text continues with it (blanks between its
    // characters are dropped as everywhere else).
    bool Take(std::string_view token) {
        Reader after = *this;
        for (const char c : token) {
            if (after.Peek() != c) {
                return false;
            }
            after.Advance();
        }
        *this = after;
        return true;
    }

private:
    void SkipBlanks() {
        while (m_Position < m_Text.size() &&
               (m_Text[m_Position] == ' ' || m_Text[m_Position] == '\t' ||
                m_Text[m_Position] == '\n')) {
            ++m_Position;
        }
    }

    std::string_view m_Text;
    std::size_t m_Position = 0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of c as a digit of the base, or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// "&H" and "&O": the digits are the bits of a 32-bit signed integer in two's
// complement, so "&HFF" is 255, "&HFFFFFFFF" is -1 and "&H80000000" is -2147483648.
// Leading zeros do not count; a value needing more than 32 bits overflows. No
// digit at all reads 0.
double ReadRadixInteger(Reader& reader, int base) {
    std::uint64_t value = 0;
    for (int digit = DigitValue(reader.Peek(), base); digit >= 0;
         digit = DigitValue(reader.Peek(), base)) {
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            throw OverflowError("the weight's integer needs more than 32 bits");
        }
        reader.Advance();
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The exponent after E or D, clamped to +-ExponentLimit; 0 when no digit follows.
std::int64_t ReadExponent(Reader& reader) {
    bool negative = false;
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        negative = reader.Peek() == '-';
        reader.Advance();
    }
    std::int64_t exponent = 0;
    for (; IsDigit(reader.Peek()); reader.Advance()) {
        exponent = std::min(exponent * 10 + (reader.Peek() - '0'), ExponentLimit);
    }
    return negative ? -exponent : exponent;
}

// The locale's separator, when it is one that the reader may take as a point
// besides the full stop; empty otherwise.
std::string_view OtherPoint(std::string_view separator) {
    if (separator.empty() || separator == ".") {
        return {};
    }
    for (const char c : separator) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 && (std::isalnum(byte) != 0 || std::isspace(byte) != 0 || c == '+' ||
                            c == '-' || c == '&' || c == '\0')) {
            return {};
        }
    }
    return separator;
}

double ReadDecimal(Reader& reader, std::string_view otherPoint) {
    bool negative = false;
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        negative = reader.Peek() == '-';
        reader.Advance();
    }

    std::string digits;    // the significant digits, at most MaxSignificantDigits
    bool dropped = false;  // a non-zero digit came after those
    bool anyDigit = false;
    bool seenPoint = false;
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t leadingZeros = 0;   // zeros after the point before the first significant digit
    for (;;) {
        const char c = reader.Peek();
        if (!seenPoint && (c == '.' || (!otherPoint.empty() && reader.Take(otherPoint)))) {
            if (c == '.') {
                reader.Advance();
            }
            seenPoint = true;
            continue;
        }
        if (!IsDigit(c)) {
            break;
        }
        reader.Advance();
        anyDigit = true;
        if (digits.empty() && c == '0') {
            leadingZeros += seenPoint ? 1 : 0;
            continue;
        }
        if (!seenPoint) {
            ++integerDigits;
        }
        if (digits.size() < MaxSignificantDigits) {
            digits += c;
        } else if (c != '0') {
            dropped = true;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    std::int64_t exponent = 0;
    const char letter = reader.Peek();
    if (letter == 'e' || letter == 'E' || letter == 'd' || letter == 'D') {
        reader.Advance();
        exponent = ReadExponent(reader);
    }
    const double zero = negative ? -0.0 : 0.0;
    if (digits.empty()) {
        return zero;  // only zeros, whatever the exponent
    }

    // The power of ten of the first significant digit: past 400 either way the
    // number is certainly beyond a double's range, or certainly rounds to 0.
    const std::int64_t power =
        exponent + (integerDigits > 0 ? integerDigits - 1 : -leadingZeros - 1);
    if (power > 400) {
        throw OverflowError("the weight lies beyond the range of a double");
    }
    if (power < -400) {
        return zero;
    }
    if (dropped) {
        digits += '1';  // any value between the kept digits and the next one rounds alike
    }
    // Canonical text: [-]DIGITSeN, the digits read as an integer.
    std::string text = negative ? "-" : "";
    text += digits;
    text += 'e';
    text += std::to_string(power - static_cast<std::int64_t>(digits.size()) + 1);

    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (power > 0) {
            throw OverflowError("the weight lies beyond the range of a double");
        }
        return zero;
    }
    return value;
}

}  // namespace

double ParseWeight(std::string_view text, std::string_view decimalSeparator) {
    Reader reader(text);
    if (reader.Peek() != '&') {
        return ReadDecimal(reader, OtherPoint(decimalSeparator));
    }
    reader.Advance();
    const char kind = reader.Peek();
    if (kind == 'h' || kind == 'H') {
        reader.Advance();
        return ReadRadixInteger(reader, 16);
    }
    if (kind == 'o' || kind == 'O') {
        reader.Advance();
        return ReadRadixInteger(reader, 8);
    }
    return 0;
}

}  // namespace ponderix::calc
