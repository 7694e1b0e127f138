#include "platform/fake/FakeSettingsStore.h"

#include "platform/Error.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

std::string FakeSettingsStore::GetSetting(std::string_view application, std::string_view section,
                                          std::string_view key, std::string_view defaultValue) {
    m_System.Check("Settings.GetSetting");
    const auto& stored = m_System.StoredSettings();
    const auto found =
        stored.find({std::string(application), std::string(section), std::string(key)});
    return found == stored.end() ? std::string(defaultValue) : found->second;
}

SaveOutcome FakeSettingsStore::SaveSettings(std::string_view application, std::string_view section,
                                            std::span<const Setting> values) {
    SaveOutcome outcome;
    for (const Setting& setting : values) {
        try {
            m_System.Check("Settings.SaveSettings", setting.Key);
        } catch (const PlatformError&) {
            outcome.NotSaved.emplace_back(setting.Key);
            continue;
        }
        m_System.StoredSettings()[{std::string(application), std::string(section),
                                   std::string(setting.Key)}] = std::string(setting.Value);
    }
    if (outcome.NotSaved.empty()) {
        outcome.KeptAside = m_System.TakeDamagedStore();
    }
    return outcome;
}

}  // namespace ponderix::platform::fake
