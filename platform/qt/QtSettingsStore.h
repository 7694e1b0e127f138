// The per-user settings store of the Linux build: one file per application in
// the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config), at
// <application>/<application>.ini, one section per section, in the INI format
// that QSettings reads and writes (platform/settings/IniFile.h), so the files of earlier
// builds stay readable and theirs read ours.
//
// How it reads and saves:
// - GetSetting: the stored text, or the default when there is none. Only a
//   regular file (links followed) is opened, and never so that it waits (a
//   FIFO is no file to read); a file that is missing, unreadable, larger
//   than 2 MiB or damaged has no values. Reading never locks.
// - SaveSettings: every value in one new file that replaces the old one in
//   one step (written beside it, flushed to the disk, renamed over it), so
//   a crash or a second instance never leaves half a file. Under the lock
//   <file>.lock, as QLockFile (and so QSettings) takes it, waited for a
//   second at most; a lock whose process is gone is taken over, and so is
//   one left empty by a program killed while it took it.
//   - a symbolic link stays a link: the file it leads to is replaced, in
//     that file's folder; a link that leads nowhere yet gets its file made;
//   - only a regular file is written over: a folder, FIFO, socket or device
//     there, a loop of links, a file that cannot be read or written, or a
//     folder that cannot be written, means no value is saved, and nothing
//     there changes;
//   - the keys and lines of the file that are not being saved stay as they
//     are;
//   - a file that would be larger than 2 MiB is not written;
//   - what a save killed half way left beside the file goes at the next;
//   - a damaged file is first kept beside its old name as
//     <file>.damaged (or <file>.damaged.1, .2 ... when that is taken), and
//     the outcome says where; the clean file then holds the new values only.
#pragma once

#include <string>
#include <string_view>

#include "platform/WindowSystem.h"

namespace ponderix::platform::qt {

class QtSettingsStore final : public ISettingsStore {
public:
    // The store in the user's configuration folder.
    QtSettingsStore() = default;
    // The store in another folder (for tests).
    explicit QtSettingsStore(std::string folder) : m_Folder(std::move(folder)) {}

    std::string GetSetting(std::string_view application, std::string_view section,
                           std::string_view key, std::string_view defaultValue) override;
    SaveOutcome SaveSettings(std::string_view application, std::string_view section,
                             std::span<const Setting> values) override;

    // The file of an application's settings; empty when the user has no
    // configuration folder.
    std::string FilePath(std::string_view application) const;

private:
    std::string m_Folder;
};

}  // namespace ponderix::platform::qt
