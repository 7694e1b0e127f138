// The settings store of the Linux build against every kind of store a user's
// folder can hold, damaged, odd or busy: what is read, what a save writes, what
// is kept aside and what the program then says. Then its files against
// QSettings' (both ways), and two programs saving in turn.
//
// The cases make their stores in a folder of their own under /tmp: device
// nodes, FIFOs and links are made there, never taken from the system. Cases
// about permission bits run as the user "nobody" when the tests run as the
// superuser, whom those bits do not stop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QSettings>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/settings/IniFile.h"
#include "platform/qt/QtSettingsStore.h"
#include "ui/main/MainWindow.h"

namespace ponderix::platform::qt::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at < size; at += 8) {
        const std::uint64_t value = random();
        std::memcpy(bytes.data() + at, &value, std::min<std::size_t>(8, size - at));
    }
    return bytes;
}

// A folder of its own under /tmp, which anyone may enter, and the store's
// file in it; a program started for the case ends with it.
class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "ponderix-store-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no scratch folder");
        }
        m_Root = pattern;
        fs::permissions(m_Root,
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        fs::create_directories(Folder());
    }
    ~Scratch() {
        if (Helper) {
            Helper->kill();
            Helper->waitForFinished();
        }
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_Root, ignored)) {
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(m_Root, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string Path(std::string_view name) const { return m_Root + "/" + std::string(name); }
    // The folder the store is given; the application's folder; its file.
    std::string Config() const { return Path("config"); }
    std::string Folder() const { return Config() + "/Ponderix"; }
    std::string File() const { return Folder() + "/Ponderix.ini"; }

    // Hands everything in the folder to the user.
    void GiveTo(uid_t user, gid_t group) const {
        ::lchown(m_Root.c_str(), user, group);
        for (const auto& entry : fs::recursive_directory_iterator(m_Root)) {
            ::lchown(entry.path().c_str(), user, group);
        }
    }

    std::unique_ptr<QProcess> Helper;

private:
    std::string m_Root;
};

// Runs the rest of a scope as another user, and back.
class RunAs {
public:
    RunAs(uid_t user, gid_t group) {
        if (::setegid(group) != 0 || ::seteuid(user) != 0) {
            throw std::runtime_error("cannot become the user " + std::to_string(user));
        }
    }
    ~RunAs() {
        if (::seteuid(0) != 0 || ::setegid(0) != 0) {
            std::abort();  // the rest of the tests would run unprivileged
        }
    }
    RunAs(const RunAs&) = delete;
    RunAs& operator=(const RunAs&) = delete;
};

// What a path is: the entry itself, and what it leads to.
struct Snapshot {
    bool Exists = false;
    mode_t Mode = 0;
    ino_t Inode = 0;
    dev_t Device = 0;
    std::string Link;
    bool Leads = false;
    mode_t TargetMode = 0;
    ino_t TargetInode = 0;
    std::string Bytes;
    std::vector<std::string> Entries;

    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const std::string& path) {
    Snapshot shot;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return shot;
    }
    shot.Exists = true;
    shot.Mode = info.st_mode;
    shot.Inode = info.st_ino;
    shot.Device = info.st_rdev;
    if (S_ISLNK(info.st_mode)) {
        shot.Link = fs::read_symlink(path).string();
    }
    if (::stat(path.c_str(), &info) != 0) {
        return shot;
    }
    shot.Leads = true;
    shot.TargetMode = info.st_mode;
    shot.TargetInode = info.st_ino;
    if (S_ISREG(info.st_mode)) {
        shot.Bytes = ReadBytes(path);
    } else if (S_ISDIR(info.st_mode)) {
        for (const auto& entry : fs::directory_iterator(path)) {
            shot.Entries.push_back(entry.path().filename().string());
        }
    }
    return shot;
}

// Files a save may not leave behind: its temporary ones.
std::vector<std::string> LeftOvers(const std::string& folder) {
    std::vector<std::string> left;
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
        if (entry.path().filename().string().ends_with(".new")) {
            left.push_back(entry.path().string());
        }
    }
    return left;
}

std::string HelperPath() {
    return PONDERIX_SETTINGS_HELPER;
}

// ---------------------------------------------------------------------------
// Hostile stores

enum class Condition { Nothing, DeviceNodes, PermissionBits };

struct HostileStore {
    const char* Name;
    // Makes the store; gives a reason to skip the case, or nothing.
    std::function<std::string(Scratch&)> Make;
    // What is read, with the defaults "140" and "20".
    std::string Weight;
    std::string Height;
    // Whether the save stores the weight (Saves) and " 25"; the file's bytes
    // afterwards, through any link. A store not saved stays as it was.
    bool Saved;
    std::string After;
    // Whether the store is kept aside as <file>.damaged first.
    bool KeptAside;
    // What the program says after the save; {kept} stands for the kept file.
    std::string Message;
    Condition Needs = Condition::Nothing;
    std::string Saves = "70";
    // What else holds afterwards.
    std::function<void(Scratch&)> Check = nullptr;
};

const std::string Clean = "[Settings]\nWeight=70\nHeight=\" 25\"\n";
// As QSettings writes it, with a section of another program.
const std::string Good = "[Settings]\nHeight=\" 30\"\nWeight=80\n\n[Other]\nx=1\n";
const std::string GoodSaved = "[Settings]\nHeight=\" 25\"\nWeight=70\n\n[Other]\nx=1\n";
const std::string NotSaved(ui::MainWindow::NotSavedMessage);
const std::string KeptMessage =
    "The settings file could not be read, so it was kept as {kept} and replaced with a new one.";
const std::string LongWeight = "80" + std::string(99998, 'k');
const std::string LongSaved = "70" + std::string(99998, 'g');

std::string Nothing(Scratch&) {
    return {};
}

std::function<std::string(Scratch&)> Holding(std::string bytes) {
    return [bytes](Scratch& scratch) {
        WriteBytes(scratch.File(), bytes);
        return std::string();
    };
}

void StartHelper(Scratch& scratch, const QStringList& arguments) {
    scratch.Helper = std::make_unique<QProcess>();
    scratch.Helper->start(QString::fromStdString(HelperPath()), arguments);
    ASSERT_TRUE(scratch.Helper->waitForStarted());
}

void ExpectLinkKept(const Scratch& scratch, const std::string& target) {
    EXPECT_TRUE(fs::is_symlink(scratch.File())) << "the link stays a link";
    EXPECT_EQ(fs::read_symlink(scratch.File()).string(), target);
}

std::vector<HostileStore> HostileStores() {
    return {
        {"NothingYet", Nothing, "140", "20", true, Clean, false, ""},
        {"EmptyFile", Holding(""), "140", "20", true, Clean, false, ""},
        {"AsQSettingsWroteIt", Holding(Good), "80", " 30", true, GoodSaved, false, ""},
        {"RandomBytes", Holding(RandomBytes(4096, 1)), "140", "20", true, Clean, true, KeptMessage},
        {"FiftyMegabytesOfRandomBytes",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), RandomBytes(50 << 20, 2));
             return std::string();
         },
         "140", "20", true, Clean, true, KeptMessage},
        {"AFileTooLargeToTrust",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), "[Settings]\nWeight=70" + std::string(3 << 20, 'x') + "\n");
             return std::string();
         },
         "140", "20", true, Clean, true, KeptMessage},
        {"InvalidUtf8",
         Holding("[Settings]\nWeight=8\xff"
                 "0\nHeight=\" 30\"\n"),
         "140", "20", true, Clean, true, KeptMessage},
        {"ALineThatAssignsNothing", Holding("[Settings]\nWeight=80\nsomething odd\n"), "140", "20",
         true, Clean, true, KeptMessage},
        {"DuplicateKeys", Holding("[Settings]\nWeight=1\nHeight=\" 2\"\nWeight=80\n"), "80", " 2",
         true, Clean, false, ""},
        {"AMissingSection", Holding("[Other]\nx=1\n"), "140", "20", true,
         "[Other]\nx=1\n\n[Settings]\nWeight=70\nHeight=\" 25\"\n", false, ""},
        {"ValuesOf100000Characters",
         Holding("[Settings]\nWeight=" + LongWeight + "\nHeight=\" 30\"\n"), LongWeight, " 30",
         true, "[Settings]\nWeight=" + LongSaved + "\nHeight=\" 25\"\n", false, "",
         Condition::Nothing, LongSaved},
        {"AFolder",
         [](Scratch& scratch) {
             fs::create_directory(scratch.File());
             return std::string();
         },
         "140", "20", false, "", false, NotSaved},
        {"AFifo",
         [](Scratch& scratch) {
             ::mkfifo(scratch.File().c_str(), 0600);
             return std::string();
         },
         "140", "20", false, "", false, NotSaved},
        {"ASocket",
         [](Scratch& scratch) {
             const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strncpy(address.sun_path, scratch.File().c_str(), sizeof address.sun_path - 1);
             ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
             ::close(listener);
             return std::string();
         },
         "140", "20", false, "", false, NotSaved},
        {"ALinkToADevice",
         [](Scratch& scratch) {
             // A node of the null device, made here: nothing of the system's.
             if (::mknod(scratch.Path("device").c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
                 return "cannot make a device node here: "s + std::strerror(errno);
             }
             fs::create_symlink(scratch.Path("device"), scratch.File());
             return std::string();
         },
         "140", "20", false, "", false, NotSaved, Condition::DeviceNodes, "70",
         [](Scratch& scratch) {
             struct stat info {};
             ASSERT_EQ(::lstat(scratch.Path("device").c_str(), &info), 0);
             EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device node is still one";
         }},
        {"ALinkToARegularFile",
         [](Scratch& scratch) {
             fs::create_directory(scratch.Path("dotfiles"));
             WriteBytes(scratch.Path("dotfiles/ponderix.ini"), Good);
             fs::create_symlink("../../dotfiles/ponderix.ini", scratch.File());
             return std::string();
         },
         "80", " 30", true, GoodSaved, false, "", Condition::Nothing, "70",
         [](Scratch& scratch) {
             ExpectLinkKept(scratch, "../../dotfiles/ponderix.ini");
             EXPECT_EQ(ReadBytes(scratch.Path("dotfiles/ponderix.ini")), GoodSaved);
         }},
        {"ALinkThatLeadsNowhereYet",
         [](Scratch& scratch) {
             fs::create_directory(scratch.Path("dotfiles"));
             fs::create_symlink(scratch.Path("dotfiles/ponderix.ini"), scratch.File());
             return std::string();
         },
         "140", "20", true, Clean, false, "", Condition::Nothing, "70",
         [](Scratch& scratch) {
             ExpectLinkKept(scratch, scratch.Path("dotfiles/ponderix.ini"));
             EXPECT_TRUE(fs::is_regular_file(scratch.Path("dotfiles/ponderix.ini")));
         }},
        {"ALinkIntoAMissingFolder",
         [](Scratch& scratch) {
             fs::create_symlink(scratch.Path("nowhere/ponderix.ini"), scratch.File());
             return std::string();
         },
         "140", "20", false, "", false, NotSaved, Condition::Nothing, "70",
         [](Scratch& scratch) { EXPECT_FALSE(fs::exists(scratch.Path("nowhere"))); }},
        {"ALoopOfLinks",
         [](Scratch& scratch) {
             fs::create_symlink(scratch.Path("other"), scratch.File());
             fs::create_symlink(scratch.File(), scratch.Path("other"));
             return std::string();
         },
         "140", "20", false, "", false, NotSaved},
        {"AReadOnlyFile",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             fs::permissions(scratch.File(), fs::perms::owner_read | fs::perms::group_read |
                                                 fs::perms::others_read);
             return std::string();
         },
         "80", " 30", false, "", false, NotSaved, Condition::PermissionBits},
        {"AReadOnlyFolder",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             fs::permissions(scratch.Folder(), fs::perms::owner_read | fs::perms::owner_exec);
             return std::string();
         },
         "80", " 30", false, "", false, NotSaved, Condition::PermissionBits},
        {"AnUnreadableFile",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             fs::permissions(scratch.File(), fs::perms::owner_write);
             return std::string();
         },
         "140", "20", false, "", false, NotSaved, Condition::PermissionBits},
        {"ALockHeldByALiveProcess",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             StartHelper(scratch, {"hold", QString::fromStdString(scratch.File() + ".lock"), "60"});
             scratch.Helper->waitForReadyRead(10000);
             return scratch.Helper->readAll() == "locked\n" ? std::string()
                                                            : "the helper took no lock"s;
         },
         "80", " 30", false, "", false, NotSaved, Condition::Nothing, "70",
         [](Scratch& scratch) {
             EXPECT_EQ(scratch.Helper->state(), QProcess::Running) << "its holder is not disturbed";
             EXPECT_TRUE(fs::exists(scratch.File() + ".lock"));
         }},
        {"AStaleLockOfAProcessThatIsGone",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             StartHelper(scratch, {"abandon", QString::fromStdString(scratch.File() + ".lock")});
             scratch.Helper->waitForFinished();
             return fs::exists(scratch.File() + ".lock") ? std::string()
                                                         : "the helper left no lock"s;
         },
         "80", " 30", true, GoodSaved, false, "", Condition::Nothing, "70",
         [](Scratch& scratch) { EXPECT_FALSE(fs::exists(scratch.File() + ".lock")); }},
        {"AnEmptyLockOfAProgramKilledWhileItTookIt",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             const std::string lock = scratch.File() + ".lock";
             WriteBytes(lock, "");
             const timespec fiveSecondsAgo[2] = {{::time(nullptr) - 5, 0},
                                                 {::time(nullptr) - 5, 0}};
             ::utimensat(AT_FDCWD, lock.c_str(), fiveSecondsAgo, 0);
             return std::string();
         },
         "80", " 30", true, GoodSaved, false, "", Condition::Nothing, "70",
         [](Scratch& scratch) { EXPECT_FALSE(fs::exists(scratch.File() + ".lock")); }},
        {"ALockThatIsAFifo",
         [](Scratch& scratch) {
             WriteBytes(scratch.File(), Good);
             ::mkfifo((scratch.File() + ".lock").c_str(), 0600);
             return std::string();
         },
         "80", " 30", false, "", false, NotSaved, Condition::Nothing, "70",
         [](Scratch& scratch) {
             EXPECT_TRUE(fs::is_fifo(scratch.File() + ".lock")) << "left as it was";
         }},
    };
}

void PrintTo(const HostileStore& row, std::ostream* out) {
    *out << row.Name;
}

class HostileStoreTest : public ::testing::TestWithParam<HostileStore> {};

TEST_P(HostileStoreTest, IsReadSavedKeptAsideAndToldOfAsItMustBe) {
    const HostileStore& row = GetParam();
    if (row.Needs == Condition::DeviceNodes && ::geteuid() != 0) {
        GTEST_SKIP() << "making a device node needs the superuser";
    }
    Scratch scratch;
    const std::string skip = row.Make(scratch);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    const Snapshot before = Take(scratch.File());
    std::optional<RunAs> unprivileged;
    if (row.Needs == Condition::PermissionBits && ::geteuid() == 0) {
        scratch.GiveTo(Nobody, NoGroup);
        unprivileged.emplace(Nobody, NoGroup);
    }

    // A read or a save that waits for ever ends the case (SIGALRM).
    ::alarm(30);
    QtSettingsStore store(scratch.Config());
    EXPECT_EQ(store.GetSetting("Ponderix", "Settings", "Weight", "140"), row.Weight);
    EXPECT_EQ(store.GetSetting("Ponderix", "Settings", "Height", "20"), row.Height);
    const Setting values[] = {{"Weight", row.Saves}, {"Height", " 25"}};
    const SaveOutcome outcome = store.SaveSettings("Ponderix", "Settings", values);
    ::alarm(0);
    unprivileged.reset();

    if (row.Saved) {
        EXPECT_TRUE(outcome.NotSaved.empty());
        EXPECT_EQ(ReadBytes(scratch.File()), row.After);
        EXPECT_EQ(store.GetSetting("Ponderix", "Settings", "Weight", "140"), row.Saves);
    } else {
        EXPECT_EQ(outcome.NotSaved, (std::vector<std::string>{"Weight", "Height"}));
        EXPECT_TRUE(Take(scratch.File()) == before) << "the store is left exactly as it was";
    }
    if (row.KeptAside) {
        EXPECT_EQ(outcome.KeptAside, scratch.File() + ".damaged");
        EXPECT_TRUE(ReadBytes(outcome.KeptAside) == before.Bytes) << "kept byte for byte";
    } else {
        EXPECT_EQ(outcome.KeptAside, "");
        EXPECT_FALSE(fs::exists(scratch.File() + ".damaged"));
    }
    EXPECT_EQ(LeftOvers(scratch.Path("")), std::vector<std::string>());

    std::vector<std::string> messages;
    if (!row.Message.empty()) {
        std::string message = row.Message;
        if (const auto at = message.find("{kept}"); at != std::string::npos) {
            message.replace(at, 6, outcome.KeptAside);
        }
        messages.push_back(message);
    }
    EXPECT_EQ(ui::SaveMessages(outcome), messages);
    if (row.Check) {
        row.Check(scratch);
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, HostileStoreTest, ::testing::ValuesIn(HostileStores()),
                         [](const auto& row) { return std::string(row.param.Name); });

// ---------------------------------------------------------------------------
// Keeping aside, again

TEST(SettingsStoreTest, AStoreKeptAsideBeforeIsNeverOverwritten) {
    Scratch scratch;
    QtSettingsStore store(scratch.Config());
    const Setting values[] = {{"Weight", "70"}, {"Height", " 25"}};
    const std::string kept[] = {".damaged", ".damaged.1", ".damaged.2"};
    for (int round = 0; round < 3; ++round) {
        const std::string damaged = RandomBytes(100, static_cast<unsigned>(round));
        WriteBytes(scratch.File(), damaged);
        const SaveOutcome outcome = store.SaveSettings("Ponderix", "Settings", values);
        EXPECT_EQ(outcome.KeptAside, scratch.File() + kept[round]);
        EXPECT_TRUE(ReadBytes(outcome.KeptAside) == damaged);
        // Once clean, the file is never kept aside again.
        EXPECT_EQ(store.SaveSettings("Ponderix", "Settings", values).KeptAside, "");
    }
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(ReadBytes(scratch.File() + kept[round]) ==
                    RandomBytes(100, static_cast<unsigned>(round)));
    }
}

TEST(SettingsStoreTest, AFileTooLargeToReadAtTheNextStartIsNotWritten) {
    Scratch scratch;
    QtSettingsStore store(scratch.Config());
    WriteBytes(scratch.File(), Good);
    const std::string weight = "70" + std::string(3 << 20, 'x');
    const Setting values[] = {{"Weight", weight}, {"Height", " 25"}};
    EXPECT_EQ(store.SaveSettings("Ponderix", "Settings", values).NotSaved,
              (std::vector<std::string>{"Weight", "Height"}));
    EXPECT_EQ(ReadBytes(scratch.File()), Good);
}

// ---------------------------------------------------------------------------
// Against QSettings

std::vector<std::string> Texts() {
    std::string controls;
    for (char c = 1; c < 0x20; ++c) {
        controls += c;
        controls += 'a';
    }
    return {
        "72.5",
        "",
        " 20",
        "  both ends\t",
        "\ttab first",
        "\"quoted\"",
        "a=b;c,d",
        "one, two, three",
        "back\\slash\\",
        "\\x41\\0",
        "line\rbreak\nand\r\nmore",
        controls,
        "nul\0"s + "1f",
        "Gr\xC3\xBC\xC3\x9F\x65, Zo\xC3\xAB, \xE4\xBD\x93\xE9\x87\x8D \xF0\x9F\x98\x80 \x7F",
        "@Variant(\"nope\")",
        "@ByteArray(70)",
        "@Invalid()",
        "@@",
        "@",
        "#not a comment",
        ";not a comment",
        "[Section]",
        "\nWeight=666\n[Other]\nkey=1",
        std::string(100000, 'x') + "end",
    };
}

TEST(SettingsStoreTest, QSettingsReadsEveryTextTheStoreWrites) {
    Scratch scratch;
    const std::vector<std::string> texts = Texts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // An application each: QSettings keeps what it read of a file.
        const std::string application = "Ponderix" + std::to_string(i);
        QtSettingsStore store(scratch.Config());
        const Setting values[] = {{"Weight", texts[i]}, {"Height", " 20"}};
        ASSERT_TRUE(store.SaveSettings(application, "Settings", values).NotSaved.empty());
        const QSettings settings(QString::fromStdString(store.FilePath(application)),
                                 QSettings::IniFormat);
        EXPECT_EQ(settings.status(), QSettings::NoError);
        EXPECT_EQ(settings.value("Settings/Weight").toString().toStdString(), texts[i])
            << ::testing::PrintToString(texts[i].substr(0, 40));
        EXPECT_EQ(settings.value("Settings/Height").toString(), " 20");
    }
}

TEST(SettingsStoreTest, TheStoreReadsEveryTextQSettingsWrote) {
    Scratch scratch;
    const std::vector<std::string> texts = Texts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string application = "Ponderix" + std::to_string(i);
        QtSettingsStore store(scratch.Config());
        {
            QSettings settings(QString::fromStdString(store.FilePath(application)),
                               QSettings::IniFormat);
            settings.setValue("Settings/Weight", QString::fromStdString(texts[i]));
            settings.setValue("Settings/Height", QStringLiteral(" 20"));
        }
        EXPECT_EQ(store.GetSetting(application, "Settings", "Weight", "default"), texts[i])
            << ::testing::PrintToString(texts[i].substr(0, 40));
        EXPECT_EQ(store.GetSetting(application, "Settings", "Height", "default"), " 20");
    }
}

TEST(SettingsStoreTest, WhatOthersKeepInTheFileSurvivesASave) {
    Scratch scratch;
    QtSettingsStore store(scratch.Config());
    const QString file = QString::fromStdString(store.FilePath("Ponderix"));
    const std::vector<std::pair<QString, QVariant>> others = {
        {"root", "at the top"},
        {"Settings/Unit", "Kilograms"},
        {"Settings/Weight", "80"},
        {"Other/list", QStringList{"a", "b, c"}},
        {"Other/number", 42},
        {"Other/bytes", QByteArray("\x01\xff", 2)},
        {"Other/rect", QRect(1, 2, 3, 4)},
        {"Other/we ird%key", "\xC3\xA9"},
        {"General/key", "a section called General"},
    };
    // What QSettings reads of the others' keys before the save.
    std::vector<QVariant> read;
    {
        QSettings settings(file, QSettings::IniFormat);
        for (const auto& [key, value] : others) {
            settings.setValue(key, value);
        }
        settings.sync();
        for (const auto& [key, value] : others) {
            read.push_back(QSettings(file, QSettings::IniFormat).value(key));
        }
    }
    const Setting values[] = {{"Weight", "70"}, {"Height", " 25"}};
    ASSERT_TRUE(store.SaveSettings("Ponderix", "Settings", values).NotSaved.empty());
    const QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(settings.status(), QSettings::NoError);
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (others[i].first != "Settings/Weight") {
            EXPECT_EQ(settings.value(others[i].first), read[i]) << others[i].first.toStdString();
        }
    }
    EXPECT_EQ(settings.value("Settings/Weight").toString(), "70");
    EXPECT_EQ(settings.value("Settings/Height").toString(), " 25");
}

// ---------------------------------------------------------------------------
// Two programs

TEST(SettingsStoreTest, TwoProgramsSavingInTurnNeverTearTheFileNorLoseAValue) {
    Scratch scratch;
    QtSettingsStore store(scratch.Config());
    WriteBytes(scratch.File(), "[Other]\nx=1\n");
    constexpr int Saves = 200;
    StartHelper(scratch, {"save", QString::fromStdString(scratch.Config()), "Child",
                          QString::number(Saves)});
    for (int n = 1; n <= Saves; ++n) {
        const std::string text = "Parent " + std::to_string(n);
        const std::string number = std::to_string(n);
        const Setting values[] = {{"Weight", text}, {"Height", text}, {"Parent", number}};
        ASSERT_TRUE(store.SaveSettings("Ponderix", "Settings", values).NotSaved.empty());

        // One read of the file: whichever save it is from, it is whole.
        const std::optional<IniFile> file = IniFile::Parse(ReadBytes(scratch.File()));
        ASSERT_TRUE(file) << "torn after " << n << " saves";
        EXPECT_EQ(file->Get("Settings", "Weight"), file->Get("Settings", "Height"));
        EXPECT_EQ(file->Get("Other", "x"), "1");
        ::usleep(5000);
    }
    ASSERT_TRUE(scratch.Helper->waitForFinished(60000));
    EXPECT_EQ(scratch.Helper->exitCode(), 0);
    EXPECT_EQ(store.GetSetting("Ponderix", "Settings", "Parent", ""), std::to_string(Saves));
    EXPECT_EQ(store.GetSetting("Ponderix", "Settings", "Child", ""), std::to_string(Saves));
    EXPECT_EQ(LeftOvers(scratch.Path("")), std::vector<std::string>());
}

TEST(SettingsStoreTest, AProgramKilledWhileSavingLeavesAWholeFile) {
    Scratch scratch;
    QtSettingsStore store(scratch.Config());
    std::mt19937 random(7);
    for (int round = 0; round < 10; ++round) {
        StartHelper(scratch, {"save", QString::fromStdString(scratch.Config()), "Killed", "1000"});
        ::usleep(static_cast<useconds_t>(20000 + random() % 30000));
        ::kill(static_cast<pid_t>(scratch.Helper->processId()), SIGKILL);
        scratch.Helper->waitForFinished();
        // The lock of the killed program is stale now, and taken over; killed
        // while it took the lock, it may have left the lock file empty, which
        // the next save takes over too.
        const std::optional<IniFile> file = IniFile::Parse(ReadBytes(scratch.File()));
        ASSERT_TRUE(file) << "torn in round " << round;
        EXPECT_EQ(file->Get("Settings", "Weight"), file->Get("Settings", "Height"));
    }
    // What a killed save leaves, and a file of someone else's.
    WriteBytes(scratch.Folder() + "/.Ponderix.ini.4711.new", "[Settings]\nWeight=1\n");
    WriteBytes(scratch.Folder() + "/.Ponderix.ini.mine.new", "mine");
    const Setting values[] = {{"Weight", "70"}, {"Height", " 25"}};
    EXPECT_TRUE(store.SaveSettings("Ponderix", "Settings", values).NotSaved.empty());
    EXPECT_EQ(LeftOvers(scratch.Path("")),
              std::vector<std::string>{scratch.Folder() + "/.Ponderix.ini.mine.new"})
        << "a save clears what killed saves left, and only that";
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
