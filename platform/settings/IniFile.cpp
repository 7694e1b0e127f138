#include "platform/settings/IniFile.h"

#include <set>
#include <stdexcept>

#include "platform/settings/IniEscapes.h"
#include "platform/settings/Unicode.h"

namespace ponderix::platform {
namespace {

using namespace ini;  // NOLINT(google-build-using-namespace): the format's characters

constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr std::size_t None = std::string_view::npos;

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

EditedFile EditIniFile(const std::string* current, const std::function<void(IniFile&)>& change) {
    std::optional<IniFile> file;
    if (current != nullptr) {
        file = IniFile::Parse(*current);
    }
    const bool understood = file.has_value();
    if (!file) {
        file.emplace();
    }
    try {
        change(*file);
    } catch (const std::logic_error&) {
        return {std::nullopt, understood};
    }
    return {file->Bytes(), understood};
}

}  // namespace ponderix::platform
