#include "platform/qt/QtSettingsStore.h"

#include <QFile>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>
#include <optional>
#include <utility>

#include "platform/settings/IniFile.h"
#include "platform/settings/SettingsFile.h"

namespace ponderix::platform::qt {
namespace {

// The lock as QSettings takes it.
class QtFileLock final : public FileLock {
public:
    explicit QtFileLock(const std::string& path)
        : m_Lock(QFile::decodeName(QByteArray::fromStdString(path))) {}

    Result TryLock() override {
        if (m_Lock.tryLock(0)) {
            return Result::Taken;
        }
        return m_Lock.error() == QLockFile::LockFailedError ? Result::Held : Result::Refused;
    }

private:
    QLockFile m_Lock;
};

std::unique_ptr<FileLock> MakeQtFileLock(const std::string& path) {
    return std::make_unique<QtFileLock>(path);
}

SaveOutcome NoneSaved(std::span<const Setting> values) {
    SaveOutcome outcome;
    for (const Setting& setting : values) {
        outcome.NotSaved.emplace_back(setting.Key);
    }
    return outcome;
}

}  // namespace

std::string QtSettingsStore::FilePath(std::string_view application) const {
    const std::string folder = m_Folder.empty()
                                   ? QFile::encodeName(QStandardPaths::writableLocation(
                                                           QStandardPaths::GenericConfigLocation))
                                         .toStdString()
                                   : m_Folder;
    if (folder.empty()) {
        return {};  // no configuration folder at all: nothing to read or write
    }
    return SettingsFilePath(folder, application);
}

std::string QtSettingsStore::GetSetting(std::string_view application, std::string_view section,
                                        std::string_view key, std::string_view defaultValue) {
    const std::string path = FilePath(application);
    FileContents contents =
        path.empty() ? FileContents{FileState::Missing, {}} : ReadRegularFile(path);
    if (contents.State != FileState::Read) {
        return std::string(defaultValue);
    }
    const std::optional<IniFile> file = IniFile::Parse(std::move(contents.Bytes));
    if (!file) {
        return std::string(defaultValue);
    }
    return file->Get(section, key).value_or(std::string(defaultValue));
}

SaveOutcome QtSettingsStore::SaveSettings(std::string_view application, std::string_view section,
                                          std::span<const Setting> values) {
    const std::string path = FilePath(application);
    if (path.empty()) {
        return NoneSaved(values);
    }
    const ReplacedFile replaced =
        ReplaceFile(path, MakeQtFileLock, [&](const std::string* current) {
            return EditIniFile(current, [&](IniFile& file) {
                for (const Setting& setting : values) {
                    file.Set(section, setting.Key, setting.Value);
                }
            });
        });
    if (!replaced.Replaced) {
        return NoneSaved(values);
    }
    return {{}, replaced.KeptAside};
}

}  // namespace ponderix::platform::qt
