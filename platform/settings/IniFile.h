// The settings file of the Linux build, read and edited without a toolkit: the
// INI dialect that Qt's QSettings (IniFormat) reads and writes, so that files
// written by earlier builds stay readable and QSettings reads what is written
// here. The store judges a file with it before it trusts it, and changes its own
// keys without touching anything else in the file.
//
// What a file holds:
// - `key=value` lines grouped under `[section]` headers (keys before the first
//   header, and those under [General], belong to the section ""); `;` starts a
//   comment; a later assignment of a key wins over an earlier one;
// - keys and section names escaped as QSettings escapes them: %XX and %UXXXX for
//   characters other than letters, digits, '_', '-' and '.', and '\' for '/';
// - values escaped as QSettings escapes texts: \n, \r, \t, \" , \\ and \xNN for
//   control characters, raw UTF-8 for the rest, in double quotes when they hold
//   ',', ';' or '=' or begin or end with a space; a leading '@' doubled, and a
//   text holding a NUL written as @String(...).
//
// A file is damaged, and Parse gives nothing, when it is not UTF-8 (a BOM is
// allowed), holds a NUL byte, has a line that is neither blank, a comment, a
// header nor an assignment (QSettings calls that a format error too), has a
// header without its ']', or is cut off inside quotes or after a backslash.
//
// A value is a text unless QSettings would read it as something else: a list
// (an unquoted ','), or a typed value such as @ByteArray(...), @Variant(...) or
// @Invalid(). Get gives nothing for those, as for an absent key.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/IniEscapes.h"  // IWYU pragma: export
#include "platform/settings/SettingsFile.h"
#include "platform/settings/Unicode.h"  // IWYU pragma: export

namespace ponderix::platform {

struct IniKey {
    std::string Section;
    std::string Key;

    bool operator==(const IniKey&) const = default;
};

class IniFile {
public:
    // An empty file.
    IniFile() = default;

    // The file in those bytes, or nothing when they are damaged (see above).
    static std::optional<IniFile> Parse(std::string bytes);

    // The text of the key's last assignment in the section; nothing when the
    // key is absent or its value is not a text.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Every key assigned in the file, once each, in the order of first assignment.
    std::vector<IniKey> Keys() const;

    // Gives the key that text. The key's first assignment in the section is
    // rewritten in place and its later ones are dropped; a new key goes after
    // the last line of the section's first block; a new section goes at the
    // end. Every other byte of the file stays as it was.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, as they are to be written.
    const std::string& Bytes() const { return m_Bytes; }

private:
    explicit IniFile(std::string bytes) : m_Bytes(std::move(bytes)) {}

    std::string m_Bytes;
};

// The editor of a settings file that ReplaceFile calls with the file's bytes
// (null: there is no file yet): the file as it reads, or an empty one where it
// does not (the bytes then not understood), with the change made; nothing to
// write when Set refuses the change.
EditedFile EditIniFile(const std::string* current, const std::function<void(IniFile&)>& change);

}  // namespace ponderix::platform
