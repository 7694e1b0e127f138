// The fake's settings store: a map in the window system (StoredSettings),
// which a test reads and fills, and which fails where the test made it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/WindowSystem.h"

namespace ponderix::platform::fake {

class FakeWindowSystem;

class FakeSettingsStore final : public ISettingsStore {
public:
    explicit FakeSettingsStore(FakeWindowSystem& system) : m_System(system) {}

    std::string GetSetting(std::string_view application, std::string_view section,
                           std::string_view key, std::string_view defaultValue) override;
    // Each value is stored unless its save is made to fail ("Settings.SaveSettings"
    // for all, "Height:Settings.SaveSettings" for one): a store that writes
    // values one by one, so that a test can see any outcome.
    SaveOutcome SaveSettings(std::string_view application, std::string_view section,
                             std::span<const Setting> values) override;

private:
    FakeWindowSystem& m_System;
};

}  // namespace ponderix::platform::fake
