// The settings store of the Windows build, in the registry: the key
// HKEY_CURRENT_USER\Software\<application>\<section>, one REG_SZ value per
// key, the text as UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "platform/WindowSystem.h"

namespace ponderix::platform::win32::detail {

class RegistrySettings final : public ISettingsStore {
public:
    std::string GetSetting(std::string_view application, std::string_view section,
                           std::string_view key, std::string_view defaultValue) override;
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view value) override;
};

}  // namespace ponderix::platform::win32::detail
