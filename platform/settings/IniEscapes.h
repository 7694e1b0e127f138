// The escapes of the settings file as QSettings (IniFormat) writes and reads
// them: of keys and section names (%XX, %UXXXX, '\\' for '/'), and of texts
// (\n, \xNN, quotes, '@' ...). And the characters the format gives a meaning,
// which its reader shares.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ponderix::platform {

// The escapes of keys and section names, and of texts, as QSettings writes them.
std::string EscapeIniKey(std::string_view utf8);
std::string EscapeIniText(std::string_view utf8);
// A key or section name as QSettings reads it.
std::string UnescapeIniKey(std::string_view escaped);
// A value as QSettings reads it; nothing when it is not a text.
std::optional<std::string> UnescapeIniText(std::string_view escaped);

namespace ini {

inline bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// What QSettings skips between lines.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || IsLineEnd(c);
}

inline bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

// What QByteArray::trimmed removes.
inline bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool EqualsIgnoringCase(std::string_view text, std::string_view lowercase) {
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

}  // namespace ini
}  // namespace ponderix::platform
