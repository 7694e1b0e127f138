// The settings file replaced on disk, without a toolkit: what is there
// decides whether the replacement goes ahead, and nothing there is lost.
// Each case makes what it needs (files, links, FIFOs) in a folder of its own.
#include "platform/settings/SettingsFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace ponderix::platform {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A lock that answers as it is told.
class ScriptedLock final : public FileLock {
public:
    explicit ScriptedLock(Result answer) : m_Answer(answer) {}
    Result TryLock() override { return m_Answer; }

private:
    Result m_Answer;
};

MakeFileLock Locks(FileLock::Result answer) {
    return [answer](const std::string&) { return std::make_unique<ScriptedLock>(answer); };
}

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() {
        std::string pattern = (fs::temp_directory_path() / "ponderix-file-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_Folder = pattern;
        }
    }
    ~SettingsFileTest() override { fs::remove_all(m_Folder); }

    fs::path File() const { return m_Folder / "Ponderix.ini"; }

    // Replaces the file with "new", and says what the editor was given.
    ReplacedFile Replace(const MakeFileLock& locks = Locks(FileLock::Result::Taken),
                         bool understood = true) {
        return ReplaceFile(File(), locks, [&](const std::string* current) {
            m_Given = current != nullptr ? std::optional(*current) : std::nullopt;
            return EditedFile{std::string("new"), understood};
        });
    }

    fs::path m_Folder;
    std::optional<std::string> m_Given;
};

TEST_F(SettingsFileTest, WhatIsThereDecidesAndNothingThereIsLost) {
    ASSERT_FALSE(m_Folder.empty());
    struct Case {
        const char* What;
        std::function<void(const fs::path& file)> Make;
        bool Replaced;
        std::function<bool(const fs::path& file)> Then;
    };
    const Case cases[] = {
        {"no file yet", [](const fs::path&) {}, true,
         [](const fs::path& file) { return ReadBytes(file) == "new"; }},
        {"a file", [](const fs::path& file) { WriteBytes(file, "old"); }, true,
         [](const fs::path& file) { return ReadBytes(file) == "new"; }},
        {"a link to a file",
         [](const fs::path& file) {
             WriteBytes(file.parent_path() / "real.ini", "old");
             fs::create_symlink("real.ini", file);
         },
         true,
         [](const fs::path& file) {
             return fs::is_symlink(file) && ReadBytes(file.parent_path() / "real.ini") == "new";
         }},
        {"a link that leads nowhere yet",
         [](const fs::path& file) { fs::create_symlink("later.ini", file); }, true,
         [](const fs::path& file) {
             return fs::is_symlink(file) && ReadBytes(file.parent_path() / "later.ini") == "new";
         }},
        {"a FIFO", [](const fs::path& file) { ::mkfifo(file.c_str(), 0600); }, false,
         [](const fs::path& file) { return fs::is_fifo(file); }},
        {"a folder", [](const fs::path& file) { fs::create_directory(file); }, false,
         [](const fs::path& file) { return fs::is_directory(file); }},
        {"a loop of links", [](const fs::path& file) { fs::create_symlink("Ponderix.ini", file); },
         false, [](const fs::path& file) { return fs::is_symlink(file); }},
        {"a lock that is a folder",
         [](const fs::path& file) {
             WriteBytes(file, "old");
             fs::create_directory(file.string() + ".lock");
         },
         false, [](const fs::path& file) { return ReadBytes(file) == "old"; }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        fs::remove_all(m_Folder);
        fs::create_directories(m_Folder);
        test.Make(File());
        EXPECT_EQ(Replace().Replaced, test.Replaced);
        EXPECT_TRUE(test.Then(File()));
        for (const auto& entry : fs::directory_iterator(m_Folder)) {
            EXPECT_FALSE(entry.path().filename().string().ends_with(".new"))
                << "nothing half written is left: " << entry.path();
        }
    }
}

TEST_F(SettingsFileTest, AFileTheEditorCannotReadIsKeptAsideWholeUnderAFreeName) {
    ASSERT_FALSE(m_Folder.empty());
    WriteBytes(File(), "damaged \x01 bytes");
    WriteBytes(File().string() + ".damaged", "an earlier one");
    const ReplacedFile replaced = Replace(Locks(FileLock::Result::Taken), false);
    ASSERT_TRUE(replaced.Replaced);
    EXPECT_EQ(m_Given, std::optional<std::string>("damaged \x01 bytes"));
    EXPECT_EQ(replaced.KeptAside, File().string() + ".damaged.1");
    EXPECT_EQ(ReadBytes(replaced.KeptAside), "damaged \x01 bytes");
    EXPECT_EQ(ReadBytes(File().string() + ".damaged"), "an earlier one") << "never written over";
    EXPECT_EQ(ReadBytes(File()), "new");

    // Too large to be read: the editor gets nothing, and the file is kept too.
    WriteBytes(File(), std::string(MaxSettingsFileSize + 1, 'x'));
    const ReplacedFile large = Replace();
    EXPECT_TRUE(large.Replaced);
    EXPECT_EQ(m_Given, std::nullopt);
    EXPECT_EQ(fs::file_size(large.KeptAside), MaxSettingsFileSize + 1);
}

TEST_F(SettingsFileTest, ARefusalOrALockThatCannotBeHadChangesNothing) {
    ASSERT_FALSE(m_Folder.empty());
    WriteBytes(File(), "old");
    const auto refuse = [](const std::string*) { return EditedFile{std::nullopt, true}; };
    EXPECT_FALSE(ReplaceFile(File(), Locks(FileLock::Result::Taken), refuse).Replaced);
    const auto huge = [](const std::string*) {
        return EditedFile{std::string(MaxSettingsFileSize + 1, 'x'), true};
    };
    EXPECT_FALSE(ReplaceFile(File(), Locks(FileLock::Result::Taken), huge).Replaced)
        << "a file too large to be read at the next start is not written";
    EXPECT_FALSE(Replace(Locks(FileLock::Result::Refused)).Replaced);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Replace(Locks(FileLock::Result::Held)).Replaced);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(900)) << "waits a second for the other program";
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_EQ(ReadBytes(File()), "old");
}

}  // namespace
}  // namespace ponderix::platform
