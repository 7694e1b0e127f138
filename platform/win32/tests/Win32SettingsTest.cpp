// The registry settings store against the hostile stores that a registry can
// hold: what is read, what a save writes, and what the program then says.
// (The rows of the file store about folders, FIFOs, sockets, devices, links,
// locks, duplicate keys and kept-aside files have no registry counterpart: a
// registry value has a name, a type and bytes, nothing more, and the registry
// serialises its writes itself. A registry store is never kept aside: a value
// of a foreign type is simply written over at the next save.)
//
// The cases work in a volatile key of their own, which never reaches the
// prefix's registry files.
#include "platform/win32/Win32Support.h"  // windows.h, as the backend includes it

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/win32/Win32Settings.h"
#include "ui/main/MainWindow.h"

namespace ponderix::platform::win32::test {
namespace {

using detail::RegistrySettings;
using detail::Widen;
using namespace std::string_literals;

constexpr const char* Application = "Ponderix Registry Tests";
constexpr const wchar_t* ApplicationKey = L"Software\\Ponderix Registry Tests";
constexpr const wchar_t* SettingsKey = L"Software\\Ponderix Registry Tests\\Settings";

// A value as the registry holds it.
struct Value {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;

    bool operator==(const Value&) const = default;

    static Value Text(const std::wstring& text, bool terminated = true) {
        Value value{REG_SZ, {}};
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        value.Data.assign(bytes, bytes + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
        return value;
    }
    static Value Of(DWORD type, const void* data, std::size_t size) {
        const auto* bytes = static_cast<const BYTE*>(data);
        return {type, std::vector<BYTE>(bytes, bytes + size)};
    }
};

std::vector<BYTE> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<BYTE> bytes(size);
    for (BYTE& byte : bytes) {
        byte = static_cast<BYTE>(random());
    }
    return bytes;
}

// The Settings key, made volatile, with those values in it.
void Plant(const std::vector<std::pair<std::wstring, Value>>& values) {
    HKEY application = nullptr;
    HKEY settings = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ApplicationKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &application, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(application, L"Settings", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &settings, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : values) {
        EXPECT_EQ(RegSetValueExW(settings, name.c_str(), 0, value.Type, value.Data.data(),
                                 static_cast<DWORD>(value.Data.size())),
                  ERROR_SUCCESS);
    }
    RegCloseKey(settings);
    RegCloseKey(application);
}

std::optional<Value> Read(const std::wstring& name) {
    HKEY settings = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &settings) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    Value value;
    DWORD size = 0;
    std::optional<Value> result;
    if (RegQueryValueExW(settings, name.c_str(), nullptr, &value.Type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.Data.resize(size);
        RegQueryValueExW(settings, name.c_str(), nullptr, &value.Type, value.Data.data(), &size);
        result = value;
    }
    RegCloseKey(settings);
    return result;
}

// Deletes the test's keys, first giving everyone every right on a key that a
// case made read-only.
void Remove() {
    HKEY settings = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, WRITE_DAC, &settings) == ERROR_SUCCESS) {
        SECURITY_DESCRIPTOR open{};
        InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
        RegSetKeySecurity(settings, DACL_SECURITY_INFORMATION, &open);
        RegCloseKey(settings);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey);
}

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { Remove(); }
    ~RegistryTest() override { Remove(); }

    RegistrySettings m_Store;
};

// ---------------------------------------------------------------------------
// Hostile stores

struct HostileStore {
    const char* Name;
    std::function<void()> Make;
    // What is read, with the defaults "140" and "20".
    std::string Weight;
    std::string Height;
    // The weight saved, with " 25"; whether both are stored, and then as REG_SZ.
    std::string Saves;
    bool Saved;
    std::string Message;
    // What else holds afterwards.
    std::function<void()> Check = nullptr;
};

const std::wstring Long100k = L"80" + std::wstring(99998, L'k');
const std::wstring Long1M = L"80" + std::wstring(999998, L'm');

std::vector<HostileStore> HostileStores() {
    const std::string notSaved(ui::MainWindow::NotSavedMessage);
    return {
        {"NothingYet", [] {}, "140", "20", "70", true, ""},
        {"AMissingSection",
         [] {
             HKEY other = nullptr;
             // Not volatile: the store's own section could not go under it.
             RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Ponderix Registry Tests\\Other", 0,
                             nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &other,
                             nullptr);
             RegSetValueExW(other, L"x", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4);
             RegCloseKey(other);
         },
         "140", "20", "70", true, "",
         [] {
             wchar_t text[4] = {};
             DWORD size = sizeof text;
             EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ponderix Registry Tests\\Other",
                                    L"x", RRF_RT_REG_SZ, nullptr, text, &size),
                       ERROR_SUCCESS);
             EXPECT_EQ(std::wstring(text), L"1") << "another section is untouched";
         }},
        {"RandomBytes",
         [] {
             const std::vector<BYTE> bytes = RandomBytes(4096, 1);
             Plant({{L"Weight", Value::Of(REG_BINARY, bytes.data(), bytes.size())},
                    {L"Height", Value::Of(REG_BINARY, bytes.data(), 7)}});
         },
         "140", "20", "70", true, ""},
        {"FiftyMegabytes",
         [] {
             const std::vector<BYTE> bytes = RandomBytes(50 << 20, 2);
             Plant({{L"Weight", Value::Of(REG_BINARY, bytes.data(), bytes.size())}});
         },
         "140", "20", "70", true, ""},
        {"WrongTypes",
         [] {
             const DWORD number = 80;
             const std::uint64_t wide = 30;
             const wchar_t expandable[] = L"%TEMP%";
             Plant({{L"Weight", Value::Of(REG_DWORD, &number, sizeof number)},
                    {L"Height", Value::Of(REG_QWORD, &wide, sizeof wide)},
                    {L"Expandable", Value::Of(REG_EXPAND_SZ, expandable, sizeof expandable)}});
         },
         "140", "20", "70", true, ""},
        {"TextsOfOtherTypes",
         [] {
             const wchar_t list[] = L"80\0\0";
             const wchar_t expandable[] = L"30";
             Plant({{L"Weight", Value::Of(REG_MULTI_SZ, list, sizeof list)},
                    {L"Height", Value::Of(REG_EXPAND_SZ, expandable, sizeof expandable)}});
         },
         "140", "20", "70", true, ""},
        {"InvalidUtf16",
         [] {
             Plant({{L"Weight", Value::Text(L"8\xD800"
                                            L"0")},
                    {L"Height", Value::Text(L"\xDC00")}});
         },
         "140", "20", "70", true, ""},
        {"AnUnterminatedText",
         [] {
             Plant({{L"Weight", Value::Text(L"80", false)}, {L"Height", Value::Text(L" 30")}});
         },
         "80", " 30", "70", true, ""},
        {"ValuesOf100000Characters",
         [] {
             Plant({{L"Weight", Value::Text(Long100k)}, {L"Height", Value::Text(L" 30")}});
         },
         "80" + std::string(99998, 'k'), " 30", "70" + std::string(99998, 'g'), true, ""},
        {"ValuesOf1000000Characters",
         [] {
             Plant({{L"Weight", Value::Text(Long1M)}, {L"Height", Value::Text(L" 30")}});
         },
         "80" + std::string(999998, 'm'), " 30", "70" + std::string(999998, 'g'), true, ""},
        {"OthersValuesBeside",
         [] {
             const DWORD number = 1;
             Plant({{L"Weight", Value::Text(L"80")},
                    {L"Unit", Value::Text(L"Kilograms")},
                    {L"Count", Value::Of(REG_DWORD, &number, sizeof number)}});
         },
         "80", "20", "70", true, "",
         [] {
             const DWORD number = 1;
             EXPECT_EQ(Read(L"Unit"), Value::Text(L"Kilograms"));
             EXPECT_EQ(Read(L"Count"), Value::Of(REG_DWORD, &number, sizeof number));
         }},
        {"AKeyThatCannotBeWritten",
         [] {
             Plant({{L"Weight", Value::Text(L"80")}, {L"Height", Value::Text(L" 30")}});
             // Read access alone, for everyone: the key cannot take a value.
             HKEY settings = nullptr;
             RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, WRITE_DAC, &settings);
             SECURITY_DESCRIPTOR descriptor{};
             InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
             SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
             PSID everyone = nullptr;
             AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                      &everyone);
             alignas(ACL) BYTE buffer[256] = {};
             auto* acl = reinterpret_cast<ACL*>(buffer);
             InitializeAcl(acl, sizeof buffer, ACL_REVISION);
             AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone);
             SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
             RegSetKeySecurity(settings, DACL_SECURITY_INFORMATION, &descriptor);
             FreeSid(everyone);
             RegCloseKey(settings);
         },
         "80", " 30", "70", false, notSaved},
    };
}

void PrintTo(const HostileStore& row, std::ostream* out) {
    *out << row.Name;
}

class HostileRegistryTest : public RegistryTest,
                            public ::testing::WithParamInterface<HostileStore> {};

TEST_P(HostileRegistryTest, IsReadSavedAndToldOfAsItMustBe) {
    const HostileStore& row = GetParam();
    row.Make();
    const std::optional<Value> weightBefore = Read(L"Weight");
    const std::optional<Value> heightBefore = Read(L"Height");

    const std::string weight = m_Store.GetSetting(Application, "Settings", "Weight", "140");
    EXPECT_TRUE(weight == row.Weight) << weight.substr(0, 40) << ", " << weight.size();
    EXPECT_EQ(m_Store.GetSetting(Application, "Settings", "Height", "20"), row.Height);

    const Setting values[] = {{"Weight", row.Saves}, {"Height", " 25"}};
    const SaveOutcome outcome = m_Store.SaveSettings(Application, "Settings", values);
    if (row.Saved) {
        EXPECT_TRUE(outcome.NotSaved.empty());
        EXPECT_TRUE(Read(L"Weight") == Value::Text(Widen(row.Saves))) << "a REG_SZ of the text";
        EXPECT_EQ(Read(L"Height"), Value::Text(L" 25"));
        EXPECT_TRUE(m_Store.GetSetting(Application, "Settings", "Weight", "") == row.Saves);
    } else {
        EXPECT_EQ(outcome.NotSaved, (std::vector<std::string>{"Weight", "Height"}));
        EXPECT_EQ(Read(L"Weight"), weightBefore);
        EXPECT_EQ(Read(L"Height"), heightBefore);
    }
    EXPECT_EQ(outcome.KeptAside, "");
    EXPECT_EQ(ui::SaveMessages(outcome),
              row.Message.empty() ? std::vector<std::string>() : std::vector{row.Message});
    if (row.Check) {
        row.Check();
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, HostileRegistryTest, ::testing::ValuesIn(HostileStores()),
                         [](const auto& row) { return std::string(row.param.Name); });

// ---------------------------------------------------------------------------
// All or none

TEST_F(RegistryTest, AValueThatFailsPutsBackTheOnesWrittenBeforeIt) {
    // A value name of more than 16,383 characters cannot be written.
    const std::string tooLong(20000, 'n');
    const DWORD number = 80;
    struct Case {
        const char* What;
        std::optional<Value> Before;
    };
    const Case cases[] = {
        {"no weight before", std::nullopt},
        {"a text before", Value::Text(L"80")},
        {"a number before", Value::Of(REG_DWORD, &number, sizeof number)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Remove();
        if (c.Before) {
            Plant({{L"Weight", *c.Before}});
        } else {
            Plant({});
        }
        const Setting values[] = {{"Weight", "70"}, {tooLong, "x"}, {"Height", " 25"}};
        const SaveOutcome outcome = m_Store.SaveSettings(Application, "Settings", values);
        EXPECT_EQ(outcome.NotSaved, (std::vector<std::string>{"Weight", tooLong, "Height"}));
        EXPECT_EQ(Read(L"Weight"), c.Before) << "put back as it was";
        EXPECT_EQ(Read(L"Height"), std::nullopt) << "never written";
        EXPECT_EQ(ui::SaveMessages(outcome),
                  std::vector<std::string>{std::string(ui::MainWindow::NotSavedMessage)});
    }
}

TEST_F(RegistryTest, ASectionThatCannotBeOpenedSavesNothing) {
    // Registry key names are limited to 255 characters.
    const std::string section(300, 's');
    const Setting values[] = {{"Weight", "70"}, {"Height", " 25"}};
    const SaveOutcome outcome = m_Store.SaveSettings(Application, section, values);
    EXPECT_EQ(outcome.NotSaved, (std::vector<std::string>{"Weight", "Height"}));
    EXPECT_EQ(m_Store.GetSetting(Application, section, "Weight", "140"), "140");
}

}  // namespace
}  // namespace ponderix::platform::win32::test
