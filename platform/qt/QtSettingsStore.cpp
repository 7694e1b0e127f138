#include "platform/qt/QtSettingsStore.h"

#include <QSettings>
#include <QVariant>

#include "platform/qt/QtSupport.h"

namespace ponderix::platform::qt {
namespace {

QString KeyOf(std::string_view section, std::string_view key) {
    return ToQString(section) + u'/' + ToQString(key);
}

}  // namespace

std::string QtSettingsStore::GetSetting(std::string_view application, std::string_view section,
                                        std::string_view key, std::string_view defaultValue) {
    const QString name = ToQString(application);
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, name, name);
    if (settings.status() != QSettings::NoError) {
        return std::string(defaultValue);
    }
    const QVariant value = settings.value(KeyOf(section, key));
    if (!value.isValid()) {
        return std::string(defaultValue);
    }
    return ToUtf8(value.toString());
}

void QtSettingsStore::SaveSetting(std::string_view application, std::string_view section,
                                  std::string_view key, std::string_view value) {
    const QString name = ToQString(application);
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, name, name);
    if (!settings.isWritable()) {
        throw PlatformError("the settings file '" + ToUtf8(settings.fileName()) +
                            "' cannot be written");
    }
    settings.setValue(KeyOf(section, key), ToQString(value));
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw PlatformError("the setting '" + std::string(key) + "' could not be saved in '" +
                            ToUtf8(settings.fileName()) + "'");
    }
}

}  // namespace ponderix::platform::qt
