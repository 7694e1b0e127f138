// libFuzzer target: any bytes as a settings file, and any text as a value. The
// input's first byte says how many of the next bytes are the value; the rest is
// the file. Beyond the sanitizers' checks it aborts when one of these breaks:
//  - a file that reads keeps its bytes, and every key of it reads without fault;
//  - setting a key leaves a file that reads, in which the key gives the text
//    (when the text is UTF-8), every other key gives what it gave before, and
//    no key is lost or made up;
//  - a text escaped as a value and unescaped again is the same text;
//  - the bytes as the file on disk: they read back as they are, and replacing
//    the file to set a key leaves a file that reads and gives the text, with
//    a file that did not read kept aside whole, and nothing else beside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "platform/settings/IniFile.h"
#include "platform/settings/SettingsFile.h"

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

// The lock other programs would take: a file made exclusively.
class ExclusiveLock final : public FileLock {
public:
    explicit ExclusiveLock(std::string path) : m_Path(std::move(path)) {}
    ~ExclusiveLock() override {
        if (m_Taken) {
            ::unlink(m_Path.c_str());
        }
    }
    Result TryLock() override {
        const int fd = ::open(m_Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            return Result::Held;
        }
        ::close(fd);
        m_Taken = true;
        return Result::Taken;
    }

private:
    std::string m_Path;
    bool m_Taken = false;
};

const std::filesystem::path& Scratch() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ponderix-fuzz-XXXXXX").string();
        Check(::mkdtemp(pattern.data()) != nullptr, "a scratch folder");
        return std::filesystem::path(pattern);
    }();
    return folder;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void CheckReplacement(const std::string& bytes, const std::string& text) {
    namespace fs = std::filesystem;
    const fs::path folder = Scratch() / "Ponderix";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path path = folder / "Ponderix.ini";
    std::ofstream(path, std::ios::binary) << bytes;
    const FileContents read = ReadRegularFile(path);
    Check(read.State == FileState::Read && read.Bytes == bytes, "the file reads back as it is");

    bool understood = false;
    const ReplacedFile replaced = ReplaceFile(
        path, [](const std::string& lock) { return std::make_unique<ExclusiveLock>(lock); },
        [&](const std::string* current) -> EditedFile {
            Check(current != nullptr && *current == bytes, "the editor is given the file");
            EditedFile edited = EditIniFile(
                current, [&](IniFile& file) { file.Set("Settings", "Weight", text); });
            understood = edited.Understood;
            return edited;
        });
    Check(replaced.Replaced, "the file is replaced");
    const std::optional<IniFile> written = IniFile::Parse(ReadBytes(path));
    Check(written.has_value(), "the replaced file reads");
    if (IsUtf8(text)) {
        Check(written->Get("Settings", "Weight") == text, "and gives the text");
    }
    Check(replaced.KeptAside.empty() == understood, "only a file that did not read is kept aside");
    if (!understood) {
        Check(ReadBytes(replaced.KeptAside) == bytes, "kept aside whole");
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++files;
    }
    Check(files == (understood ? 1U : 2U), "nothing else is left beside it");
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
    // On disk for one input in 32: a replacement waits for the disk (fsync).
    if (size % 32 == 0) {
        CheckReplacement(bytes, text);
    }

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
