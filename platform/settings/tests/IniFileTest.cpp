// The settings file's reader and editor: which files are damaged, what a key
// reads as (the escapes and quirks of QSettings' INI files), how texts and keys
// are escaped, and that an edit changes the edited key and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/settings/IniFile.h"

namespace ponderix::platform {
namespace {

using namespace std::string_literals;

std::string Show(const std::string& bytes) {
    return ::testing::PrintToString(bytes.substr(0, 60));
}

TEST(IniFileTest, DamagedFilesAreTold) {
    struct Case {
        std::string Bytes;
        bool Damaged;
        const char* What;
    };
    const Case cases[] = {
        {"", false, "empty"},
        {"\n\r\n  \t\n", false, "blank lines"},
        {"\xEF\xBB\xBF", false, "a byte order mark alone"},
        {"[Settings]\nHeight=\" 20\"\nWeight=70\n", false, "as QSettings writes it"},
        {"; a comment\n[Settings] ; another\nWeight=70 ; and one\n", false, "comments"},
        {"[Settings]\nWeight=\"one\ntwo\"\n", false, "quotes across a line end"},
        {"[Settings]\nWeight=one\\\ntwo\n", false, "a continued line"},
        {"Weight=70", false, "no section and no line end"},
        {"=70\n", false, "an empty key"},
        {"[Settings]\njunk\n", true, "a line that assigns nothing"},
        {"#comment\n", true, "'#' is no comment to QSettings"},
        {"[Settings\nWeight=70\n", true, "a header without its bracket"},
        {"[Set;tings]\n", true, "a comment inside the header"},
        {"[Settings]\nWeight=7\xff"
         "0\n",
         true, "not UTF-8"},
        {"[Settings]\nWeight=\xC0\xB7\n", true, "an overlong UTF-8 form"},
        {"[Settings]\nWeight=\xED\xA0\x80\n", true, "a UTF-8 surrogate"},
        {"[Settings]\nWeight=\xF4\x90\x80\x80\n", true, "beyond U+10FFFF"},
        {"[Settings]\nWeight=\xE4\xBD\n", true, "a UTF-8 sequence cut short"},
        {"[Settings]\nWeight=7\0"s + "0\n", true, "a NUL byte"},
        {"[Settings]\nWeight=\"70\n", true, "cut off inside quotes"},
        {"[Settings]\nWeight=70\\", true, "cut off after a backslash"},
        {"[Settings]\nWeight=70\\\r\n", true, "cut off in a continued line"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!IniFile::Parse(c.Bytes).has_value(), c.Damaged) << c.What;
    }
}

TEST(IniFileTest, KeysReadAsQSettingsReadsThem) {
    struct Case {
        std::string Bytes;
        const char* Section;
        const char* Key;
        std::optional<std::string> Expected;
    };
    const std::optional<std::string> absent;
    const Case cases[] = {
        {"[Settings]\nWeight=70\n", "Settings", "Weight", "70"},
        {"[Settings]\nHeight=\" 20\"\n", "Settings", "Height", " 20"},
        {"[Settings]\nWeight=  70 kg  \t\n", "Settings", "Weight", "70 kg"},
        {"[Settings]\nWeight=\"70 kg  \"\n", "Settings", "Weight", "70 kg  "},
        {"[Settings]\nWeight=\n", "Settings", "Weight", ""},
        {"[Settings]\n  Weight \t=70\n", "Settings", "Weight", "70"},
        {"[Settings]\nWeight=70 ; a comment\n", "Settings", "Weight", "70"},
        {"[Settings]\nWeight=\"70 ; kg\"\n", "Settings", "Weight", "70 ; kg"},
        {"[Settings]\r\nWeight=70\r\n", "Settings", "Weight", "70"},
        {"\xEF\xBB\xBF[Settings]\nWeight=70\n", "Settings", "Weight", "70"},
        {"[ Settings ] trailing\nWeight=70\n", "Settings", "Weight", "70"},
        // Escapes.
        {"[Settings]\nWeight=a\\x1\\x31\\x62\x7f"
         "c\\t\\\"q\\\"\\\\\n",
         "Settings", "Weight",
         "a\x01"
         "1b\x7f"
         "c\t\"q\"\\"},
        {"[Settings]\nWeight=\\a\\b\\f\\n\\r\\v\\?\\'\\z\n", "Settings", "Weight",
         "\a\b\f\n\r\v?'"},
        {"[Settings]\nWeight=\\101\\x42\\x\n", "Settings", "Weight", "AB"},
        {"[Settings]\nWeight=\\xd83d\\xde00\n", "Settings", "Weight", "\xF0\x9F\x98\x80"},
        {"[Settings]\nWeight=\\x12345\n", "Settings", "Weight", "\xE2\x8D\x85"},
        {"[Settings]\nWeight=one\\\ntwo\n", "Settings", "Weight", "onetwo"},
        {"[Settings]\nWeight=a\\t  \n", "Settings", "Weight", "a\t"},
        {"[Settings]\nWeight=a  \\z  \n", "Settings", "Weight", "a  "},
        {"[Settings]\nWeight=a  \\x", "Settings", "Weight", "a  "},
        {"[Settings]\nWeight=a\"b c\"d \n", "Settings", "Weight", "ab cd "},
        {"[Settings]\nWeight=Gr\xC3\xBC\xC3\x9F\x65\n", "Settings", "Weight",
         "Gr\xC3\xBC\xC3\x9F\x65"},
        // Values that are not texts, and the '@' forms.
        {"[Settings]\nWeight=@@x\n", "Settings", "Weight", "@x"},
        {"[Settings]\nWeight=@x\n", "Settings", "Weight", "@x"},
        {"[Settings]\nWeight=@String(a\\0\\x31)\n", "Settings", "Weight", "a\0"s + "1"},
        {"[Settings]\nWeight=@ByteArray(70)\n", "Settings", "Weight", absent},
        {"[Settings]\nWeight=@Invalid()\n", "Settings", "Weight", absent},
        {"[Settings]\nWeight=@Variant(\\0\\0\\0\\x2)\n", "Settings", "Weight", absent},
        {"[Settings]\nWeight=70, 80\n", "Settings", "Weight", absent},
        {"[Settings]\nWeight=\"70, 80\"\n", "Settings", "Weight", "70, 80"},
        // Sections and keys.
        {"[Settings]\nWeight=1\nWeight=2\n", "Settings", "Weight", "2"},
        {"[Settings]\nWeight=1\n[Other]\nWeight=3\n[Settings]\nWeight=2\n", "Settings", "Weight",
         "2"},
        {"[Settings]\nWeight=1\n", "Other", "Weight", absent},
        {"[Other]\nWeight=1\n", "Settings", "Weight", absent},
        {"[settings]\nweight=1\n", "Settings", "Weight", absent},
        {"Weight=1\n", "", "Weight", "1"},
        {"[General]\nWeight=1\n", "", "Weight", "1"},
        {"[%General]\nWeight=1\n", "General", "Weight", "1"},
        {"[Other%20Sec]\nwe%20ird%25key\\x=1\n", "Other Sec", "we ird%key/x", "1"},
        {"[Settings]\nu%E9=1\n%U4F53=2\n", "Settings", "u\xC3\xA9", "1"},
        {"[Settings]\nu%E9=1\n%U4F53=2\n", "Settings", "\xE4\xBD\x93", "2"},
        {"[Settings]\n%zz=1\n", "Settings", "%zz", "1"},
        {"[Settings]\nW%+9ight=1\n", "Settings", "W\tight", "1"},
        {"[S\xC3\xA9]\nW\xC3\xA9ight=1\n", "S\xC3\xA9", "W\xC3\xA9ight", "1"},
    };
    for (const Case& c : cases) {
        const std::optional<IniFile> file = IniFile::Parse(c.Bytes);
        ASSERT_TRUE(file) << Show(c.Bytes);
        EXPECT_EQ(file->Get(c.Section, c.Key), c.Expected) << Show(c.Bytes);
    }
}

TEST(IniFileTest, TextsAndKeysAreEscapedAsQSettingsEscapesThem) {
    // The escaped forms are those Qt 6's QSettings writes for the same texts.
    struct Case {
        std::string Text;
        std::string Escaped;
    };
    const Case texts[] = {
        {"70", "70"},
        {"", ""},
        {" 20", "\" 20\""},
        {"x ", "\"x \""},
        {"a,b", "\"a,b\""},
        {"a;b", "\"a;b\""},
        {"a=b", "\"a=b\""},
        {"@x", "@@x"},
        {"a\0"s + "1", "@String(a\\0\\x31)"},
        {"a\x01"
         "1b\x7f"
         "c\t\"q\"\\",
         "a\\x1\\x31\\x62\x7f"
         "c\\t\\\"q\\\"\\\\"},
        {"\a\b\f\n\r\v", "\\a\\b\\f\\n\\r\\v"},
        {"\x1f"
         "g",
         "\\x1fg"},
        {"Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x98\x80", "Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x98\x80"},
    };
    for (const Case& c : texts) {
        EXPECT_EQ(EscapeIniText(c.Text), c.Escaped) << Show(c.Text);
        EXPECT_EQ(UnescapeIniText(c.Escaped), c.Text) << Show(c.Escaped);
    }
    const Case keys[] = {
        {"Weight", "Weight"}, {"a_b-c.d", "a_b-c.d"}, {"we ird%key/x", "we%20ird%25key\\x"},
        {"ends/", "ends%2F"}, {"u\xC3\xA9", "u%E9"},  {"\xE4\xBD\x93", "%U4F53"},
    };
    for (const Case& c : keys) {
        EXPECT_EQ(EscapeIniKey(c.Text), c.Escaped) << c.Text;
        EXPECT_EQ(UnescapeIniKey(c.Escaped), c.Text) << c.Escaped;
    }
}

TEST(IniFileTest, AnyTextComesBackAsItWasWritten) {
    std::string everyByte;
    for (int c = 1; c < 0x80; ++c) {
        everyByte += static_cast<char>(c);
    }
    const std::string texts[] = {
        everyByte,
        "\0"s,
        "@",
        "@@",
        "@String(x)",
        "@Invalid()",
        "\"",
        "\\",
        "\\x41",
        "  both  ",
        "\t",
        "0\0"s +
            "0\x01"
            "00",
        "\xF0\x9F\x98\x80\xEF\xBF\xBD",
        std::string(100000, 'w') + "\n;=\"",
    };
    for (const std::string& text : texts) {
        IniFile file;
        file.Set("Settings", "Weight", text);
        const std::optional<IniFile> reread = IniFile::Parse(file.Bytes());
        ASSERT_TRUE(reread) << Show(text);
        EXPECT_EQ(reread->Get("Settings", "Weight"), text) << Show(text);
    }
}

TEST(IniFileTest, SettingAKeyChangesItsOwnLineAndNothingElse) {
    struct Case {
        std::string Before;
        const char* Section;
        const char* Key;
        std::string After;
        const char* What;
    };
    const Case cases[] = {
        {"", "Settings", "Weight", "[Settings]\nWeight=70 kg\n", "a new file"},
        {"\xEF\xBB\xBF", "Settings", "Weight", "\xEF\xBB\xBF[Settings]\nWeight=70 kg\n",
         "after a byte order mark"},
        {"[Settings]\nHeight=\" 20\"\nWeight=140\n", "Settings", "Weight",
         "[Settings]\nHeight=\" 20\"\nWeight=70 kg\n", "rewritten in place"},
        {"[Settings]\nWeight=1\nHeight=3\nWeight=2\n", "Settings", "Weight",
         "[Settings]\nWeight=70 kg\nHeight=3\n", "duplicates dropped"},
        {"[Settings]\nWeight=1\n[Other]\nx=1\n[Settings]\nWeight=2\n", "Settings", "Weight",
         "[Settings]\nWeight=70 kg\n[Other]\nx=1\n[Settings]\n", "duplicates in a second block"},
        {"[Settings]\r\nWeight=1\r\nHeight=3\r\n", "Settings", "Weight",
         "[Settings]\r\nWeight=70 kg\r\nHeight=3\r\n", "line ends kept"},
        {"[Settings]\nWeight=1   ; mine\n", "Settings", "Weight",
         "[Settings]\nWeight=70 kg   ; mine\n", "its comment kept"},
        {"[Settings]\nHeight=3\n\n[Other]\nx=1\n", "Settings", "Weight",
         "[Settings]\nHeight=3\nWeight=70 kg\n\n[Other]\nx=1\n", "a new key ends its section"},
        {"[Settings]\nA=1\n; note\n[Other]\nx=1\n[Settings]\nB=2\n", "Settings", "Weight",
         "[Settings]\nA=1\n; note\nWeight=70 kg\n[Other]\nx=1\n[Settings]\nB=2\n",
         "in the section's first block"},
        {"[Settings]\n", "Settings", "Weight", "[Settings]\nWeight=70 kg\n", "an empty section"},
        {"[Settings]\nx=a\\\n\n[Other]\n", "Settings", "Weight",
         "[Settings]\nx=a\\\n\nWeight=70 kg\n[Other]\n", "after a continued line"},
        {"[Other]\nx=1\n", "Settings", "Weight", "[Other]\nx=1\n\n[Settings]\nWeight=70 kg\n",
         "a missing section"},
        {"[Other]\nx=\"a\nb\"", "Settings", "Weight",
         "[Other]\nx=\"a\nb\"\n\n[Settings]\nWeight=70 kg\n", "no line end at the end"},
        {"x=1\n[Other]\ny=2\n", "", "z", "x=1\nz=70 kg\n[Other]\ny=2\n", "before any header"},
        {"[Other]\ny=2\n", "", "z", "[Other]\ny=2\n\n[General]\nz=70 kg\n", "a [General] section"},
        {"[Settings]\nWeight=a\\\n[Other]\n", "Settings", "Weight", "[Settings]\nWeight=70 kg\n",
         "a continued line is one line"},
    };
    for (const Case& c : cases) {
        std::optional<IniFile> file = IniFile::Parse(c.Before);
        ASSERT_TRUE(file) << c.What;
        file->Set(c.Section, c.Key, "70 kg");
        EXPECT_EQ(file->Bytes(), c.After) << c.What;
    }
}

TEST(IniFileTest, AnEditKeepsEveryOtherKeysValue) {
    const std::string files[] = {
        "[Settings]\nHeight=\" 20\"\nWeight=140\n[Other]\nWeight=3\nlist=a, b\n",
        "Weight=root\n[General]\nHeight=g\n[Settings]\nHeight=1\n; c\n[Settings]\nHeight=2\n",
        "[Settings]\nx=\"q\nq\" ; c\nWeight=1\\\n2\n[%General]\ny=@@z\n",
    };
    for (const std::string& bytes : files) {
        std::optional<IniFile> file = IniFile::Parse(bytes);
        ASSERT_TRUE(file);
        const IniFile before = *file;
        file->Set("Settings", "Weight", " a=b; c\n");
        file->Set("Settings", "New", "");
        EXPECT_EQ(file->Get("Settings", "Weight"), " a=b; c\n");
        EXPECT_EQ(file->Get("Settings", "New"), "");
        std::vector<IniKey> expectedKeys = before.Keys();
        if (std::find(expectedKeys.begin(), expectedKeys.end(), IniKey{"Settings", "Weight"}) ==
            expectedKeys.end()) {
            expectedKeys.push_back({"Settings", "Weight"});
        }
        expectedKeys.push_back({"Settings", "New"});
        EXPECT_EQ(file->Keys().size(), expectedKeys.size()) << Show(bytes);
        for (const IniKey& key : before.Keys()) {
            if (key != IniKey{"Settings", "Weight"}) {
                EXPECT_EQ(file->Get(key.Section, key.Key), before.Get(key.Section, key.Key))
                    << key.Section << "/" << key.Key << " in " << Show(bytes);
            }
        }
    }
}

}  // namespace
}  // namespace ponderix::platform
