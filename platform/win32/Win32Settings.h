// The settings store of the Windows build, in the registry: the key
// HKEY_CURRENT_USER\Software\<application>\<section>, one REG_SZ value per
// key, the text as UTF-16, so any text comes back as it went (a million
// characters and more).
//
// How it reads and saves:
// - GetSetting: the text of a REG_SZ value; a value of any other type, or
//   one that is not well-formed UTF-16, reads as the default (and is
//   written as REG_SZ at the next save).
// - SaveSettings: the registry writes one value at a time, so a save of
//   several is made all or none by hand: each value's old type and bytes
//   are read before it is written, and when a later value cannot be
//   written, those written before it are put back as they were (or
//   removed when they were not there). Only a value that cannot even be put
//   back stays saved; the outcome then names the others alone. A key that
//   cannot be opened or created saves nothing.
#pragma once

#include <string>
#include <string_view>

#include "platform/WindowSystem.h"

namespace ponderix::platform::win32::detail {

class RegistrySettings final : public ISettingsStore {
public:
    std::string GetSetting(std::string_view application, std::string_view section,
                           std::string_view key, std::string_view defaultValue) override;
    SaveOutcome SaveSettings(std::string_view application, std::string_view section,
                             std::span<const Setting> values) override;
};

}  // namespace ponderix::platform::win32::detail
