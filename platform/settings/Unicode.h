// The encodings of the settings file's text: UTF-8 on disk, UTF-16 where
// QSettings counts characters (its escapes are of UTF-16 code units).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ponderix::platform {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsUtf8(std::string_view bytes);

namespace unicode {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;
// What DecodeUtf8 gives for a byte that starts no well-formed sequence.
inline constexpr char32_t NotUtf8 = 0xFFFFFFFF;

inline bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

inline bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The code point that starts at `at`, which moves past it; NotUtf8 for a byte
// that starts no well-formed sequence (one byte is taken then).
char32_t DecodeUtf8(std::string_view text, std::size_t& at);
// The code point at `at` of a UTF-16 text, which moves past it; a lone
// surrogate is ReplacementCharacter.
char32_t DecodeUtf16(std::u16string_view text, std::size_t& at);
void AppendUtf8(std::string& out, char32_t code);
void AppendUtf16(std::u16string& out, char32_t code);
// Ill-formed bytes become ReplacementCharacter.
std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

}  // namespace unicode
}  // namespace ponderix::platform
