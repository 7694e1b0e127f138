#include "platform/settings/SettingsFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <random>
#include <string_view>
#include <utility>

namespace ponderix::platform {
namespace {

// How long a save waits for another program that holds the lock.
constexpr int LockWaitMilliseconds = 1000;
constexpr useconds_t LockRetryMicroseconds = 10000;
// How old an empty lock file is before it counts as left by a killed program
// (QLockFile writes into it within microseconds of making it).
constexpr std::chrono::milliseconds AbandonedLockAge{500};
// How many links are followed before a chain of them counts as a loop.
constexpr int MaxLinks = 40;
// How many kept-aside names are tried: <file>.damaged, then .damaged.1 and on.
constexpr int MaxKeptAside = 100;

// Closes a file descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_Fd(fd) {}
    ~Descriptor() {
        if (m_Fd >= 0) {
            ::close(m_Fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_Fd; }
    explicit operator bool() const { return m_Fd >= 0; }
    // Closes it now; false when the close reports an error (of a write).
    bool Close() { return ::close(std::exchange(m_Fd, -1)) == 0; }

private:
    int m_Fd;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the folder and those above it that are missing, for the user alone.
bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The path that the symbolic links at the end of the path lead to (the path
// itself when it is no link); nothing for a loop or a link that cannot be read.
std::optional<std::string> FollowLinks(std::string path) {
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255), '\0');
        while (true) {
            const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
            if (length < 0) {
                return std::nullopt;
            }
            if (static_cast<std::size_t>(length) < target.size()) {
                target.resize(static_cast<std::size_t>(length));
                break;
            }
            target.resize(target.size() * 2);
        }
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
    return std::nullopt;
}

// The name of a file that a save writes beside the path before it takes the
// path's place: .<name>.<number>.new.
bool IsTemporaryOf(const std::string& path, std::string_view candidate) {
    // Appended, not written "." + name: GCC 12 at -O3 takes that concatenation
    // for an overlapping copy (-Wrestrict), a false alarm that fails -Werror.
    std::string prefix = ".";
    prefix += NameOf(path);
    prefix += '.';
    if (!candidate.starts_with(prefix) || !candidate.ends_with(".new")) {
        return false;
    }
    const std::string_view number =
        candidate.substr(prefix.size(), candidate.size() - prefix.size() - 4);
    return !number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos;
}

// Removes what saves that were killed half way left beside the path. Only
// under the lock: then no other save is writing one.
void RemoveLeftOvers(const std::string& path) {
    DIR* folder = ::opendir(FolderOf(path).c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (IsTemporaryOf(path, entry->d_name)) {
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

// A new, empty file of its own beside the path, for writing.
std::optional<std::string> CreateBeside(const std::string& path, int& fd) {
    static std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = FolderOf(path) + "/." + NameOf(path) + "." +
                                      std::to_string(random() % 1000000000) + ".new";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return temporary;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// A copy of the file under a name of its own, for file systems without hard
// links.
bool CopyTo(const std::string& from, const std::string& to) {
    Descriptor copy(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!copy) {
        return false;
    }
    const Descriptor original(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    bool copied = static_cast<bool>(original);
    char buffer[65536];
    while (copied) {
        const ssize_t got = ::read(original.Get(), buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        copied = got > 0 && WriteAll(copy.Get(), {buffer, static_cast<std::size_t>(got)});
    }
    copied = copied && ::fsync(copy.Get()) == 0;
    copied = copy.Close() && copied;
    if (!copied) {
        ::unlink(to.c_str());
    }
    return copied;
}

// Keeps the damaged file under the first free name of <file>.damaged,
// <file>.damaged.1, ... and gives that name; never over another file.
std::optional<std::string> KeepAside(const std::string& file) {
    for (int number = 0; number < MaxKeptAside; ++number) {
        std::string name = file + ".damaged";
        if (number > 0) {
            name += '.';  // appended: see IsTemporaryOf
            name += std::to_string(number);
        }
        // A second name for the same file: nothing is copied, nothing is lost.
        if (::link(file.c_str(), name.c_str()) == 0) {
            return name;
        }
        if (errno == EEXIST) {
            continue;
        }
        return CopyTo(file, name) ? std::optional(name) : std::nullopt;
    }
    return std::nullopt;
}

void SyncFolder(const std::string& folder) {
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) {
        ::fsync(directory.Get());
    }
}

// Whether the lock file was made a while ago and is still empty.
bool IsAbandoned(const std::string& lockPath, struct stat& info) {
    if (::lstat(lockPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != 0) {
        return false;
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto age = std::chrono::seconds(now.tv_sec - info.st_mtim.tv_sec) +
                     std::chrono::nanoseconds(now.tv_nsec - info.st_mtim.tv_nsec);
    return age > AbandonedLockAge;
}

// Removes a lock file that a program killed while it took the lock left
// empty: a lock's maker (QLockFile) writes who holds the lock as it makes the
// file, and would wait 30 s before it calls an empty one stale. It is removed
// under the guard that QLockFile takes to remove a stale lock, <lock>.rmlock,
// so that no other program's new lock can be removed instead.
bool RemoveAbandonedLock(const std::string& lockPath, const MakeFileLock& makeLock) {
    struct stat seen {};
    if (!IsAbandoned(lockPath, seen)) {
        return false;
    }
    const std::unique_ptr<FileLock> guard = makeLock(lockPath + ".rmlock");
    if (guard == nullptr || guard->TryLock() != FileLock::Result::Taken) {
        return false;
    }
    struct stat again {};
    return IsAbandoned(lockPath, again) && again.st_ino == seen.st_ino &&
           ::unlink(lockPath.c_str()) == 0;
}

// Takes the lock, trying every few milliseconds for a second at most: another
// program holds it only while it writes, and a wait that doubles its pauses
// (QLockFile's own) could miss every moment it is free.
bool TakeLock(FileLock& lock, const std::string& lockPath, const MakeFileLock& makeLock) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(LockWaitMilliseconds);
    while (true) {
        FileLock::Result result = lock.TryLock();
        if (result == FileLock::Result::Held && RemoveAbandonedLock(lockPath, makeLock)) {
            result = lock.TryLock();
        }
        if (result == FileLock::Result::Taken) {
            return true;
        }
        if (result == FileLock::Result::Refused || std::chrono::steady_clock::now() >= deadline) {
            return false;  // no permission, or held all along
        }
        ::usleep(LockRetryMicroseconds);
    }
}

}  // namespace

std::string SettingsFilePath(std::string_view folder, std::string_view application) {
    std::string path(folder);
    path += '/';
    path += application;
    path += '/';
    path += application;
    path += ".ini";
    return path;
}

FileContents ReadRegularFile(const std::string& path) {
    using State = FileState;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {errno == ENOENT ? State::Missing : State::Unreadable, {}};
    }
    if (!S_ISREG(info.st_mode)) {
        return {State::NotAFile, {}};
    }
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file) {
        return {errno == ENOENT ? State::Missing : State::Unreadable, {}};
    }
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {State::NotAFile, {}};
    }
    if (info.st_size > static_cast<off_t>(MaxSettingsFileSize)) {
        return {State::TooLarge, {}};
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {State::Unreadable, {}};
        }
        if (got == 0) {
            return {State::Read, std::move(bytes)};
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > MaxSettingsFileSize) {
            return {State::TooLarge, {}};  // it grew while it was read
        }
    }
}

ReplacedFile ReplaceFile(const std::string& path, const MakeFileLock& makeLock,
                         const FileEditor& edit) {
    using State = FileState;
    if (!MakeFolders(FolderOf(path))) {
        return {};
    }

    // A lock that is anything but a plain file could make the lock itself wait.
    const std::string lockPath = path + ".lock";
    struct stat lockInfo {};
    if (::lstat(lockPath.c_str(), &lockInfo) == 0 && !S_ISREG(lockInfo.st_mode)) {
        return {};
    }
    const std::unique_ptr<FileLock> lock = makeLock(lockPath);
    if (lock == nullptr || !TakeLock(*lock, lockPath, makeLock)) {
        return {};
    }

    const std::optional<std::string> target = FollowLinks(path);
    if (!target) {
        return {};
    }
    FileContents current = ReadRegularFile(*target);
    if (current.State == State::NotAFile || current.State == State::Unreadable) {
        return {};
    }
    struct stat old {};
    const bool exists = current.State != State::Missing && ::stat(target->c_str(), &old) == 0;
    if (exists && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) {
        return {};  // a file made read-only stays as it is
    }
    const EditedFile edited = edit(current.State == State::Read ? &current.Bytes : nullptr);
    if (!edited.Bytes || edited.Bytes->size() > MaxSettingsFileSize) {
        return {};  // a file that large would not be read at the next start
    }
    const bool damaged = exists && (current.State != State::Read || !edited.Understood);

    RemoveLeftOvers(*target);
    int fd = -1;
    const std::optional<std::string> temporary = CreateBeside(*target, fd);
    if (!temporary) {
        return {};
    }
    Descriptor written(fd);
    bool ready = WriteAll(written.Get(), *edited.Bytes);
    if (exists) {
        ready = ready && ::fchmod(written.Get(), old.st_mode & 07777) == 0;
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Keeps the owner where it may (the superuser saving a user's file);
            // where it may not, the new file is ours and holds the values all
            // the same.
            const bool ownerKept = ::fchown(written.Get(), old.st_uid, old.st_gid) == 0;
            static_cast<void>(ownerKept);
        }
    }
    ready = ready && ::fsync(written.Get()) == 0;
    ready = written.Close() && ready;

    std::optional<std::string> keptAside;
    if (ready && damaged) {
        keptAside = KeepAside(*target);
        ready = keptAside.has_value();
    }
    if (!ready || ::rename(temporary->c_str(), target->c_str()) != 0) {
        ::unlink(temporary->c_str());
        if (keptAside) {
            ::unlink(keptAside->c_str());  // the damaged file is still where it was
        }
        return {};
    }
    SyncFolder(FolderOf(*target));
    return {true, keptAside.value_or(std::string())};
}

}  // namespace ponderix::platform
