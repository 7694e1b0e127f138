// libFuzzer target: any bytes as a settings file, and any text as a value. The
// input's first byte says how many of the next bytes are the value; the rest is
// the file. Beyond the sanitizers' checks it aborts when one of these breaks:
//  - a file that reads keeps its bytes, and every key of it reads without fault;
//  - setting a key leaves a file that reads, in which the key gives the text
//    (when the text is UTF-8), every other key gives what it gave before, and
//    no key is lost or made up;
//  - a text escaped as a value and unescaped again is the same text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/IniFile.h"

namespace {

using namespace ponderix::platform;

void Check(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", invariant);
        std::abort();
    }
}

void CheckEdit(IniFile file, const std::string& section, const std::string& key,
               const std::string& text) {
    const std::vector<IniKey> before = file.Keys();
    bool known = false;
    std::vector<std::optional<std::string>> values;
    for (const IniKey& other : before) {
        known = known || (other.Section == section && other.Key == key);
        values.push_back(file.Get(other.Section, other.Key));
    }
    try {
        file.Set(section, key, text);
    } catch (const std::logic_error&) {
        Check(false, "an edited file reads");
    }
    Check(IniFile::Parse(file.Bytes()).has_value(), "an edited file reads");
    if (IsUtf8(text)) {
        Check(file.Get(section, key) == text, "the key gives the text it was set to");
    }
    Check(file.Keys().size() == before.size() + (known ? 0 : 1), "no key is lost or made up");
    for (std::size_t i = 0; i < before.size(); ++i) {
        const IniKey& other = before[i];
        if (!(other.Section == section && other.Key == key)) {
            Check(file.Get(other.Section, other.Key) == values[i], "other keys keep their values");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t textSize = std::min<std::size_t>(data[0] % 64, size - 1);
    const std::string text(reinterpret_cast<const char*>(data) + 1, textSize);
    const std::string bytes(reinterpret_cast<const char*>(data) + 1 + textSize,
                            size - 1 - textSize);

    if (IsUtf8(text)) {
        Check(UnescapeIniText(EscapeIniText(text)) == text, "an escaped text unescapes to itself");
        Check(UnescapeIniKey(EscapeIniKey(text)) == text, "an escaped key unescapes to itself");
    }
    CheckEdit(IniFile(), "Settings", "Weight", text);

    const std::optional<IniFile> file = IniFile::Parse(bytes);
    if (!file) {
        return 0;
    }
    Check(file->Bytes() == bytes, "a file that reads keeps its bytes");
    const std::vector<IniKey> keys = file->Keys();
    for (const IniKey& key : keys) {
        (void)file->Get(key.Section, key.Key);
    }
    CheckEdit(*file, "Settings", "Weight", text);
    // A key of the file itself, whatever its section.
    if (!keys.empty()) {
        const IniKey& some = keys[textSize % keys.size()];
        CheckEdit(*file, some.Section, some.Key, text);
    }
    return 0;
}
