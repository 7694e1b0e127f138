#include "platform/win32/RegistrySettings.h"

#include <string>

#include "platform/win32/Native.h"

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

[[noreturn]] void FailWith(LSTATUS status, const std::string& what) {
    SetLastError(static_cast<DWORD>(status));
    Fail(what);
}

}  // namespace

// ---------------------------------------------------------------------------
// Settings: HKEY_CURRENT_USER\Software\<application>\<section>, one REG_SZ value
// per key. The text is stored as UTF-16, so any text comes back as it went.

std::string RegistrySettings::GetSetting(std::string_view application, std::string_view section,
                                         std::string_view key, std::string_view defaultValue) {
    KeyHandle settings;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                      settings.Out()) != ERROR_SUCCESS) {
        return std::string(defaultValue);
    }
    const std::wstring name = Widen(key);
    std::wstring value;
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(settings.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls; ask again until it fits.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ) {
            return std::string(defaultValue);
        }
        value.assign(size / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status = RegQueryValueExW(settings.Get(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &capacity);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ) {
                return std::string(defaultValue);
            }
            value.resize(capacity / sizeof(wchar_t));
            // A stored terminator is not part of the text.
            if (!value.empty() && value.back() == L'\0') {
                value.pop_back();
            }
            return Narrow(value);
        }
        size = capacity;
    }
    return std::string(defaultValue);
}

void RegistrySettings::SaveSetting(std::string_view application, std::string_view section,
                                   std::string_view key, std::string_view value) {
    KeyHandle settings;
    const LSTATUS created =
        RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, settings.Out(), nullptr);
    if (created != ERROR_SUCCESS) {
        FailWith(created, "the settings of " + std::string(application) + " could not be opened");
    }
    const std::wstring name = Widen(key);
    const std::wstring text = Widen(value);
    const auto bytes = (text.size() + 1) * sizeof(wchar_t);  // with its terminator
    if (bytes > MAXDWORD) {
        throw PlatformError("the setting '" + std::string(key) + "' is too long to store");
    }
    const LSTATUS stored =
        RegSetValueExW(settings.Get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(bytes));
    if (stored != ERROR_SUCCESS) {
        FailWith(stored, "the setting '" + std::string(key) + "' could not be stored");
    }
}

}  // namespace ponderix::platform::win32::detail
