// The settings file on disk, read and replaced without a toolkit: read so
// that a start never waits, replaced in one step so that it is always whole,
// and never lost.
//
// - ReadRegularFile: only a regular file (links followed) is opened, and never
//   so that it waits (a FIFO is no file to read); a file larger than
//   MaxSettingsFileSize is not read.
// - ReplaceFile: the new bytes go into a file of their own beside the old one,
//   flushed to the disk, renamed over it, under the lock <file>.lock as the
//   caller's lock takes it (the Qt store: QLockFile, as QSettings takes it),
//   waited for a second at most; a lock whose holder is gone is taken over,
//   and so is one left empty by a program killed while it took it.
//   - a symbolic link stays a link: the file it leads to is replaced, in that
//     file's folder; a link that leads nowhere yet gets its file made;
//   - only a regular file is written over: a folder, FIFO, socket or device
//     there, a loop of links, a file that cannot be read or written, or a
//     folder that cannot be written, means nothing is written, and nothing
//     there changes;
//   - bytes larger than MaxSettingsFileSize are not written;
//   - what a replacement killed half way left beside the file goes at the next;
//   - a file that the editor could not understand is first kept beside its old
//     name as <file>.damaged (or <file>.damaged.1, .2 ... when that is taken);
//   - the owner and the mode of the old file stay the new one's where they may.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ponderix::platform {

// Far beyond what a person types (a weight of a million characters fits), and
// small enough that the window, which shows the weight whole, still opens
// within a second. Nothing larger is read, and nothing larger is written.
inline constexpr std::size_t MaxSettingsFileSize = 2 * 1024 * 1024;

// The file of an application's settings in a configuration folder:
// <folder>/<application>/<application>.ini, where QSettings keeps them.
std::string SettingsFilePath(std::string_view folder, std::string_view application);

enum class FileState { Missing, NotAFile, Unreadable, TooLarge, Read };

struct FileContents {
    FileState State;
    std::string Bytes;
};

// The contents of the file at the path (links followed), without waiting: only
// a regular file is opened, and non-blocking, in case it became a FIFO between
// the look and the opening.
FileContents ReadRegularFile(const std::string& path);

// A lock on a file, taken as the other programs that use the file take it.
class FileLock {
public:
    enum class Result {
        Taken,    // the lock is ours until the object goes
        Held,     // another holds it
        Refused,  // it cannot be taken at all (no permission)
    };
    virtual ~FileLock() = default;
    // Tries once, without waiting.
    virtual Result TryLock() = 0;
};
// A lock for the lock file at that path.
using MakeFileLock = std::function<std::unique_ptr<FileLock>(const std::string& lockPath)>;

// What the caller makes of the current bytes of the file (null when there are
// none that could be read: no file, or one too large).
struct EditedFile {
    std::optional<std::string> Bytes;  // nothing: the file stays as it is
    bool Understood = true;            // false: the current bytes are damaged
};
using FileEditor = std::function<EditedFile(const std::string* current)>;

struct ReplacedFile {
    bool Replaced = false;
    // Where a file that was not understood was kept, when it was replaced.
    std::string KeptAside;
};

// Replaces the file at the path with what the editor makes of it, as above.
ReplacedFile ReplaceFile(const std::string& path, const MakeFileLock& makeLock,
                         const FileEditor& edit);

}  // namespace ponderix::platform
