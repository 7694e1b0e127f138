#include "platform/settings/IniEscapes.h"

#include "platform/settings/Unicode.h"

namespace ponderix::platform {
namespace {

using namespace ini;      // NOLINT(google-build-using-namespace): the format's characters
using namespace unicode;  // NOLINT(google-build-using-namespace): and its encodings

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

std::string LowercaseHex(unsigned value) {
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string hex;
    do {
        hex.insert(hex.begin(), Digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return hex;
}

}  // namespace

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

}  // namespace ponderix::platform
