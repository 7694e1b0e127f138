#include "platform/win32/Win32Settings.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32Support.h"

namespace ponderix::platform::win32::detail {
namespace {

std::wstring KeyPath(std::string_view application, std::string_view section) {
    return L"Software\\" + Widen(application) + L"\\" + Widen(section);
}

// Closes a registry key when it goes.
class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (m_Key != nullptr) {
            RegCloseKey(m_Key);
        }
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    HKEY* Out() { return &m_Key; }
    HKEY Get() const { return m_Key; }

private:
    HKEY m_Key = nullptr;
};

// A value as the registry holds it: its type and bytes, whatever they are.
struct StoredValue {
    bool Exists = false;
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
};

// The value under that name; nothing when it cannot be read.
std::optional<StoredValue> ReadValue(HKEY key, const std::wstring& name) {
    StoredValue value;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &value.Type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return value;
    }
    // The value may grow between the two calls; ask again until it fits.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        value.Data.resize(size);
        status =
            RegQueryValueExW(key, name.c_str(), nullptr, &value.Type, value.Data.data(), &size);
        if (status == ERROR_SUCCESS) {
            value.Data.resize(size);
            value.Exists = true;
            return value;
        }
    }
    return std::nullopt;
}

// The text of a REG_SZ value; nothing for another type or for UTF-16 that is
// not well formed (a lone surrogate).
std::optional<std::string> TextOf(const StoredValue& value) {
    if (!value.Exists || value.Type != REG_SZ) {
        return std::nullopt;
    }
    std::wstring text(value.Data.size() / sizeof(wchar_t), L'\0');
    std::copy(value.Data.begin(),
              value.Data.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
              reinterpret_cast<BYTE*>(text.data()));
    // A stored terminator is not part of the text.
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    if (text.empty()) {
        return std::string();
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::nullopt;
    }
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

// Puts a value back as it was before a save: its old type and bytes, or
// nothing when there was none.
bool PutBack(HKEY key, const std::wstring& name, const StoredValue& before) {
    if (!before.Exists) {
        const LSTATUS deleted = RegDeleteValueW(key, name.c_str());
        return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    return RegSetValueExW(key, name.c_str(), 0, before.Type, before.Data.data(),
                          static_cast<DWORD>(before.Data.size())) == ERROR_SUCCESS;
}

// Stores the text as a REG_SZ value, with its terminator.
bool WriteText(HKEY key, const std::wstring& name, std::string_view value) {
    try {
        const std::wstring text = Widen(value);
        const auto bytes = (text.size() + 1) * sizeof(wchar_t);
        return bytes <= MAXDWORD && RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                                   static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
    } catch (const PlatformError&) {
        return false;  // a text too long to convert
    }
}

}  // namespace

std::string RegistrySettings::GetSetting(std::string_view application, std::string_view section,
                                         std::string_view key, std::string_view defaultValue) {
    try {
        KeyHandle settings;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0,
                          KEY_QUERY_VALUE, settings.Out()) != ERROR_SUCCESS) {
            return std::string(defaultValue);
        }
        const std::optional<StoredValue> value = ReadValue(settings.Get(), Widen(key));
        if (!value) {
            return std::string(defaultValue);
        }
        return TextOf(*value).value_or(std::string(defaultValue));
    } catch (const PlatformError&) {
        return std::string(defaultValue);  // a name that cannot be converted
    }
}

SaveOutcome RegistrySettings::SaveSettings(std::string_view application, std::string_view section,
                                           std::span<const Setting> values) {
    SaveOutcome outcome;
    KeyHandle settings;
    std::vector<std::wstring> names;
    try {
        for (const Setting& setting : values) {
            names.push_back(Widen(setting.Key));
        }
        if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            settings.Out(), nullptr) != ERROR_SUCCESS) {
            names.clear();
        }
    } catch (const PlatformError&) {
        names.clear();
    }
    if (names.empty() && !values.empty()) {
        for (const Setting& setting : values) {
            outcome.NotSaved.emplace_back(setting.Key);
        }
        return outcome;
    }

    // What each value held before, to put it back should a later one fail.
    std::vector<StoredValue> before;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::optional<StoredValue> old = ReadValue(settings.Get(), names[i]);
        if (old && WriteText(settings.Get(), names[i], values[i].Value)) {
            before.push_back(std::move(*old));
            continue;
        }
        // This one failed: the ones written before it are put back, so that the
        // store holds all or none. One that cannot be put back keeps its new
        // value, and only the others are reported.
        for (std::size_t done = 0; done < i; ++done) {
            if (PutBack(settings.Get(), names[done], before[done])) {
                outcome.NotSaved.emplace_back(values[done].Key);
            }
        }
        for (std::size_t rest = i; rest < values.size(); ++rest) {
            outcome.NotSaved.emplace_back(values[rest].Key);
        }
        return outcome;
    }
    return outcome;
}

}  // namespace ponderix::platform::win32::detail
