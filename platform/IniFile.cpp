#include "platform/IniFile.h"

#include <set>
#include <stdexcept>

namespace ponderix::platform {
namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr char32_t NotUtf8 = 0xFFFFFFFF;
constexpr std::size_t None = std::string_view::npos;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// What QSettings skips between lines.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || IsLineEnd(c);
}

bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

// What QByteArray::trimmed removes.
bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsHexDigit(char16_t c) {
    return c < 0x80 && HexValue(static_cast<char>(c)) >= 0;
}

// The character of a one-letter escape (\n, \t, \" ...); 0 for none.
char16_t EscapedCharacter(char letter) {
    switch (letter) {
        case 'a':
            return u'\a';
        case 'b':
            return u'\b';
        case 'f':
            return u'\f';
        case 'n':
            return u'\n';
        case 'r':
            return u'\r';
        case 't':
            return u'\t';
        case 'v':
            return u'\v';
        case '"':
        case '?':
        case '\'':
        case '\\':
            return static_cast<char16_t>(letter);
        default:
            return 0;
    }
}

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowercase) {
    if (text.size() != lowercase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lowercase[i]) {
            return false;
        }
    }
    return true;
}

// The code point that starts at `at`, which moves past it; NotUtf8 for a byte
// that starts no well-formed sequence (one byte is taken then).
char32_t DecodeUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        ++at;
        return NotUtf8;
    }
    if (text.size() - at < length) {
        ++at;
        return NotUtf8;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0u) != 0x80u) {
            ++at;
            return NotUtf8;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || IsHighSurrogate(code) || IsLowSurrogate(code)) {
        ++at;
        return NotUtf8;
    }
    at += length;
    return code;
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FFu));
    } else {
        out += static_cast<char16_t>(code);
    }
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t code = DecodeUtf8(utf8, at);
        AppendUtf16(out, code == NotUtf8 ? ReplacementCharacter : code);
    }
    return out;
}

// The code point at `at` of a UTF-16 text, which moves past it; a lone
// surrogate is ReplacementCharacter.
char32_t DecodeUtf16(std::u16string_view text, std::size_t& at) {
    const char32_t unit = text[at++];
    if (IsHighSurrogate(unit) && at < text.size() && IsLowSurrogate(text[at])) {
        const char32_t low = text[at++];
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    return IsHighSurrogate(unit) || IsLowSurrogate(unit) ? ReplacementCharacter : unit;
}

std::string ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size();) {
        AppendUtf8(out, DecodeUtf16(utf16, at));
    }
    return out;
}

std::string LowercaseHex(unsigned value) {
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string hex;
    do {
        hex.insert(hex.begin(), Digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return hex;
}

// A section name as QSettings reads it from between the brackets.
std::string SectionName(std::string_view bracketed) {
    while (!bracketed.empty() && IsWhiteSpace(bracketed.front())) {
        bracketed.remove_prefix(1);
    }
    while (!bracketed.empty() && IsWhiteSpace(bracketed.back())) {
        bracketed.remove_suffix(1);
    }
    if (EqualsIgnoringCase(bracketed, "general")) {
        return {};
    }
    if (EqualsIgnoringCase(bracketed, "%general")) {
        return std::string(bracketed.substr(1));
    }
    return UnescapeIniKey(bracketed);
}

// The header line of a section as QSettings writes it.
std::string SectionHeader(std::string_view section) {
    std::string escaped = EscapeIniKey(section);
    if (escaped.empty()) {
        escaped = "General";
    } else if (EqualsIgnoringCase(escaped, "general")) {
        escaped = "%General";
    }
    return "[" + escaped + "]";
}

// One line of a file: a comment, a section header or an assignment, without
// the blanks before it and without the line end (or the comment) after it.
enum class LineKind { Comment, Header, Assignment };

struct Line {
    LineKind Kind;
    std::size_t Begin;
    std::size_t End;
    std::size_t ContentEnd;  // End, less trailing spaces and tabs
    std::size_t Equals;      // assignments only
    const std::string& Section;

    std::string_view RawKey(std::string_view text) const {
        std::size_t keyEnd = Equals;
        while (keyEnd > Begin && IsSpaceOrTab(text[keyEnd - 1])) {
            --keyEnd;
        }
        return text.substr(Begin, keyEnd - Begin);
    }
    std::string_view RawValue(std::string_view text) const {
        return text.substr(Equals + 1, End - Equals - 1);
    }
};

// Splits the text into lines as QSettings does, handing each to `onLine`; false
// when the text is damaged. The text is free of NUL bytes and UTF-8 (Parse
// lets in no other). A line ends at a line end outside quotes (a
// backslash escapes one), or before an unquoted ';', which starts a comment
// that runs to the end of the line.
template <typename OnLine>
bool Scan(std::string_view text, OnLine&& onLine) {
    const std::size_t size = text.size();
    std::size_t i = text.starts_with(Bom) ? Bom.size() : 0;
    std::string section;
    while (true) {
        while (i < size && IsBlank(text[i])) {
            ++i;
        }
        if (i == size) {
            return true;
        }
        const std::size_t begin = i;
        if (text[i] == ';') {
            while (i < size && !IsLineEnd(text[i])) {
                ++i;
            }
            onLine(Line{LineKind::Comment, begin, i, i, None, section});
            continue;
        }
        bool inQuotes = false;
        std::size_t equals = None;
        while (i < size) {
            const char c = text[i];
            if (IsLineEnd(c)) {
                if (!inQuotes) {
                    break;
                }
                ++i;
            } else if (c == '\\') {
                if (i + 1 == size) {
                    return false;  // cut off after the backslash
                }
                const char escaped = text[i + 1];
                i += 2;
                // \r\n and \n\r are one line end.
                if (i < size && IsLineEnd(escaped) && IsLineEnd(text[i]) && text[i] != escaped) {
                    ++i;
                }
                if (i == size && IsLineEnd(escaped)) {
                    return false;  // cut off in a continued line
                }
            } else if (c == '"') {
                inQuotes = !inQuotes;
                ++i;
            } else if (c == ';' && !inQuotes) {
                break;
            } else {
                if (c == '=' && !inQuotes && equals == None) {
                    equals = i;
                }
                ++i;
            }
        }
        if (inQuotes) {
            return false;  // cut off inside quotes
        }
        std::size_t contentEnd = i;
        while (contentEnd > begin && IsSpaceOrTab(text[contentEnd - 1])) {
            --contentEnd;
        }
        if (text[begin] == '[') {
            const std::size_t close = text.find(']', begin);
            if (close == None || close >= i) {
                return false;
            }
            section = SectionName(text.substr(begin + 1, close - begin - 1));
            onLine(Line{LineKind::Header, begin, i, contentEnd, None, section});
            continue;
        }
        if (equals == None) {
            return false;
        }
        onLine(Line{LineKind::Assignment, begin, i, contentEnd, equals, section});
    }
}

// A line end at `at`: \n, \r, \r\n or \n\r; its length, or 0.
std::size_t LineEndLength(std::string_view text, std::size_t at) {
    if (at >= text.size() || !IsLineEnd(text[at])) {
        return 0;
    }
    return at + 1 < text.size() && IsLineEnd(text[at + 1]) && text[at + 1] != text[at] ? 2 : 1;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        if (DecodeUtf8(bytes, at) == NotUtf8) {
            return false;
        }
    }
    return true;
}

std::string EscapeIniKey(std::string_view utf8) {
    constexpr std::string_view Digits = "0123456789ABCDEF";
    std::string out;
    const std::u16string text = ToUtf16(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        // A '\' at the end would escape the '=' after the key: there it is %2F.
        if (c == u'/' && i + 1 < text.size()) {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += Digits[c / 16];
            out += Digits[c % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += Digits[(c >> shift) & 0xF];
            }
        }
    }
    return out;
}

std::string UnescapeIniKey(std::string_view escaped) {
    const std::u16string text = ToUtf16(escaped);
    std::u16string out;
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const char16_t c = text[i];
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i + 1 == size) {
            out += c;
            ++i;
            continue;
        }
        std::size_t first = i + 1;
        std::size_t digits = 2;
        if (text[first] == u'U') {
            ++first;
            digits = 4;
        }
        // Read as a 16-bit number in hex, which may carry a '+'.
        unsigned value = 0;
        bool valid = first + digits <= size;
        for (std::size_t d = valid && text[first] == u'+' ? 1 : 0; valid && d < digits; ++d) {
            const char16_t digit = text[first + d];
            valid = IsHexDigit(digit);
            value = valid ? value * 16 + static_cast<unsigned>(HexValue(static_cast<char>(digit)))
                          : value;
        }
        if (!valid) {
            out += u'%';
            ++i;
            continue;
        }
        out += static_cast<char16_t>(value);
        i = first + digits;
    }
    return ToUtf8(out);
}

std::string EscapeIniText(std::string_view utf8) {
    std::u16string text = ToUtf16(utf8);
    if (text.find(u'\0') != std::u16string::npos) {
        text = u"@String(" + text + u")";
    } else if (text.starts_with(u'@')) {
        text.insert(text.begin(), u'@');
    }
    std::string out;
    out.reserve(text.size() + 2);
    bool needsQuotes = false;
    // After \xNN (or \0) a hex digit would be read as part of the escape.
    bool escapeNextIfHexDigit = false;
    for (std::size_t at = 0; at < text.size();) {
        const char16_t c = text[at];
        if (c == u';' || c == u',' || c == u'=') {
            needsQuotes = true;
        }
        if (escapeNextIfHexDigit && IsHexDigit(c)) {
            out += "\\x" + LowercaseHex(c);
            ++at;
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (c) {
            case u'\0':
                out += "\\0";
                escapeNextIfHexDigit = true;
                break;
            case u'\a':
                out += "\\a";
                break;
            case u'\b':
                out += "\\b";
                break;
            case u'\f':
                out += "\\f";
                break;
            case u'\n':
                out += "\\n";
                break;
            case u'\r':
                out += "\\r";
                break;
            case u'\t':
                out += "\\t";
                break;
            case u'\v':
                out += "\\v";
                break;
            case u'"':
            case u'\\':
                out += '\\';
                out += static_cast<char>(c);
                break;
            default:
                if (c <= 0x1F) {
                    out += "\\x" + LowercaseHex(c);
                    escapeNextIfHexDigit = true;
                } else {
                    std::size_t next = at;
                    AppendUtf8(out, DecodeUtf16(text, next));
                    at = next;
                    continue;
                }
        }
        ++at;
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
        out = '"' + out + '"';
    }
    return out;
}

std::optional<std::string> UnescapeIniText(std::string_view escaped) {
    std::u16string text;
    bool inQuotes = false;
    bool quoted = false;
    // Unquoted trailing blanks are dropped, but only those after the last
    // escape, and not when the value ends inside an escape.
    std::size_t chopLimit = 0;
    bool chop = true;
    const std::size_t size = escaped.size();
    std::size_t i = 0;
    const auto skipSpaces = [&] {
        while (i < size && IsSpaceOrTab(escaped[i])) {
            ++i;
        }
    };
    skipSpaces();
    while (i < size) {
        const char c = escaped[i];
        if (c == '\\') {
            if (++i == size) {
                chop = false;
                break;
            }
            const char e = escaped[i++];
            if (e == 'x' || (e >= '0' && e <= '7')) {
                // As many digits as follow; a 16-bit unit keeps the last ones.
                const bool hex = e == 'x';
                const auto digit = [&](char d) {
                    return hex ? HexValue(d) : (d >= '0' && d <= '7' ? d - '0' : -1);
                };
                if (hex && (i == size || digit(escaped[i]) < 0)) {
                    chop = i < size;
                    chopLimit = text.size();
                    if (!chop) {
                        break;
                    }
                    continue;
                }
                unsigned value = hex ? 0 : static_cast<unsigned>(e - '0');
                while (i < size && digit(escaped[i]) >= 0) {
                    value = ((value << (hex ? 4 : 3)) | static_cast<unsigned>(digit(escaped[i]))) &
                            0xFFFFu;
                    ++i;
                }
                text += static_cast<char16_t>(value);
                if (i == size) {
                    chop = false;
                    break;
                }
            } else if (const char16_t plain = EscapedCharacter(e); plain != 0) {
                text += plain;
            } else if (IsLineEnd(e)) {
                // A continued line; \r\n and \n\r are one line end.
                if (i < size && IsLineEnd(escaped[i]) && escaped[i] != e) {
                    ++i;
                }
            } else {
                // Any other escaped character is dropped, with the rest of its
                // UTF-8 sequence.
                while (i < size && (static_cast<unsigned char>(escaped[i]) & 0xC0u) == 0x80u) {
                    ++i;
                }
            }
            chopLimit = text.size();
            continue;
        }
        if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = text.size();
            }
            continue;
        }
        if (c == ',' && !inQuotes) {
            return std::nullopt;  // QSettings reads a list here, which is no text
        }
        std::size_t run = i + 1;
        while (run < size && escaped[run] != '\\' && escaped[run] != '"' && escaped[run] != ',') {
            ++run;
        }
        text += ToUtf16(escaped.substr(i, run - i));
        i = run;
    }
    if (chop && !quoted) {
        while (text.size() > chopLimit && (text.back() == u' ' || text.back() == u'\t')) {
            text.pop_back();
        }
    }
    if (text.starts_with(u'@')) {
        const std::u16string_view view(text);
        if (view.ends_with(u')')) {
            if (view.starts_with(u"@String(")) {
                return ToUtf8(view.substr(8, view.size() - 9));
            }
            for (const std::u16string_view typed :
                 {u"@ByteArray(", u"@Variant(", u"@DateTime(", u"@Rect(", u"@Size(", u"@Point("}) {
                if (view.starts_with(typed)) {
                    return std::nullopt;
                }
            }
            if (view == u"@Invalid()") {
                return std::nullopt;
            }
        }
        if (view.starts_with(u"@@")) {
            return ToUtf8(view.substr(1));
        }
    }
    return ToUtf8(text);
}

std::optional<IniFile> IniFile::Parse(std::string bytes) {
    if (bytes.find('\0') != None || !IsUtf8(bytes) || !Scan(bytes, [](const Line&) {})) {
        return std::nullopt;
    }
    return IniFile(std::move(bytes));
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    std::optional<std::string_view> last;
    const std::string_view text = m_Bytes;
    Scan(text, [&](const Line& line) {
        if (line.Kind == LineKind::Assignment && line.Section == section &&
            UnescapeIniKey(line.RawKey(text)) == key) {
            last = line.RawValue(text);
        }
    });
    if (!last) {
        return std::nullopt;
    }
    return UnescapeIniText(*last);
}

std::vector<IniKey> IniFile::Keys() const {
    std::vector<IniKey> keys;
    std::set<std::pair<std::string, std::string>> seen;
    const std::string_view text = m_Bytes;
    Scan(text, [&](const Line& line) {
        if (line.Kind != LineKind::Assignment) {
            return;
        }
        IniKey key{line.Section, UnescapeIniKey(line.RawKey(text))};
        if (seen.emplace(key.Section, key.Key).second) {
            keys.push_back(std::move(key));
        }
    });
    return keys;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string assignment = EscapeIniKey(key) + "=" + EscapeIniText(value);
    const std::string_view text = m_Bytes;

    struct Place {
        std::size_t Begin;
        std::size_t End;
        std::size_t ContentEnd;
    };
    std::vector<Place> assignments;
    // The end of the last line of the section's first block, where a new key goes.
    // The lines before the first header form the block of the section "" when
    // there are any; else a [General] header starts it.
    std::size_t insertAt = None;
    bool inBlock = section.empty();
    bool blockFound = false;
    Scan(text, [&](const Line& line) {
        if (line.Kind == LineKind::Header) {
            blockFound = blockFound || (inBlock && insertAt != None);
            inBlock = !blockFound && line.Section == section;
            if (inBlock) {
                insertAt = line.End;
            }
            return;
        }
        if (inBlock) {
            insertAt = line.End;
        }
        if (line.Kind == LineKind::Assignment && line.Section == section &&
            UnescapeIniKey(line.RawKey(text)) == key) {
            assignments.push_back({line.Begin, line.End, line.ContentEnd});
        }
    });

    std::string bytes = m_Bytes;
    if (!assignments.empty()) {
        // From the end, so the places before stay where they are.
        for (std::size_t n = assignments.size() - 1; n > 0; --n) {
            const Place& later = assignments[n];
            bytes.erase(later.Begin, later.End - later.Begin);
            bytes.erase(later.Begin, LineEndLength(bytes, later.Begin));
        }
        const Place& first = assignments.front();
        bytes.replace(first.Begin, first.ContentEnd - first.Begin, assignment);
    } else if (insertAt != None) {
        // After the line end that ends the block's last line, in the same style;
        // before it, a backslash could make the two lines one.
        const std::size_t lineEnd = LineEndLength(bytes, insertAt);
        if (lineEnd == 0) {
            bytes.insert(insertAt, "\n" + assignment);
        } else {
            bytes.insert(insertAt + lineEnd, assignment + bytes.substr(insertAt, lineEnd));
        }
    } else {
        const std::size_t start = bytes.starts_with(Bom) ? Bom.size() : 0;
        if (bytes.find_first_not_of(" \t\r\n", start) != None) {
            if (!IsLineEnd(bytes.back())) {
                bytes += '\n';
            }
            bytes += '\n';  // a blank line between sections, as QSettings writes them
        }
        bytes += SectionHeader(section) + "\n" + assignment + "\n";
    }
    std::optional<IniFile> edited = Parse(std::move(bytes));
    if (!edited) {
        throw std::logic_error("an edited settings file no longer reads");
    }
    *this = std::move(*edited);
}

}  // namespace ponderix::platform
