// The per-user settings store on QSettings: one INI file per application in the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config), at
// <application>/<application>.ini, one group per section.
//
// Implements (ISettingsStore):
// - [x] GetSetting: the stored text, or the default when the key is absent or
//       the file cannot be read
// - [x] SaveSetting: written through at once; PlatformError when the file or its
//       folder cannot be written
// - [x] values come back exactly as saved: quotes, '=', ';', ',', backslashes,
//       leading and trailing spaces, CR and LF, non-ASCII letters, a leading '@',
//       long texts; a value never touches another key
#pragma once

#include <string>
#include <string_view>

#include "platform/WindowSystem.h"

namespace ponderix::platform::qt {

class QtSettingsStore final : public ISettingsStore {
public:
    std::string GetSetting(std::string_view application, std::string_view section,
                           std::string_view key, std::string_view defaultValue) override;
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view value) override;
};

}  // namespace ponderix::platform::qt
