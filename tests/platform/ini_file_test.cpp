#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/failure.h"
#include "platform/files_testing.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr char kSample[] =
    "; settings\r\n"
    "[Main]\r\n"
    "Width=0x1F4\r\n"
    "Height=$1F4\r\n"
    "Left=-1\r\n"
    "  top  =  -8  \r\n"
    "Bad=abc\r\n"
    "Empty=\r\n"
    "Px=12px\r\n"
    "Hex0=0x\r\n"
    "Upper=0X10\r\n"
    "Name= 蔵書 一覧 \r\n"
    "\r\n"
    "[ other ]\n"
    "Width=7\n"
    "Unknown=keep me\n";

class IniFileTest : public testing::Test {
  protected:
    void SetUp() override { test::WriteTestFile(path_, kSample); }
    test::TempFolder folder_;
    std::string path_ = folder_ / "Quorvane.ini";
};

TEST_F(IniFileTest, ReadsNumbers) {
    TIniFile ini(path_);
    struct Case {
        const char* section;
        const char* key;
        int32_t value;
    };
    const Case cases[] = {
        {"Main", "Width", 500},  {"Main", "Height", 500},  {"Main", "Left", -1},
        {"Main", "Top", -8},     {"Main", "Bad", 99},      {"Main", "Empty", 99},
        {"Main", "Px", 99},      {"Main", "Hex0", 99},     {"Main", "Upper", 16},
        {"Main", "Missing", 99}, {"MAIN", "WIDTH", 500},   {"main", "width", 500},
        {"Other", "width", 7},   {"Missing", "Width", 99}, {"Mai", "Width", 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ReadSettingNumber(c.section, c.key, 99), c.value);
    }
}

TEST_F(IniFileTest, ReadsStrings) {
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("Main", "Name", "-"), "蔵書 一覧");
    EXPECT_EQ(ini.ReadString("Main", "Empty", "-"), "");
    EXPECT_EQ(ini.ReadString("Main", "Nothing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Other", "Unknown", ""), "keep me");
    EXPECT_EQ(ini.ReadString("settings", "x", "d"), "d");  // comments are no sections
    EXPECT_EQ(TIniFile(folder_ / "none.ini").ReadString("Main", "Width", "d"), "d");
    EXPECT_EQ(TIniFile(folder_.Path()).ReadString("Main", "Width", "d"), "d");
}

TEST_F(IniFileTest, LongValuesAreCutBeforeConversion) {
    TIniFile ini(path_);
    ini.WriteString("Long", "Text", std::string(5000, 'x'));
    EXPECT_EQ(ini.ReadString("Long", "Text", ""), std::string(1023, 'x'));
    // 1023 zeros then "5": only zeros survive the cut; 1022 zeros then "5" fit.
    ini.WriteString("Long", "Zeros", std::string(1023, '0') + "5");
    EXPECT_EQ(ini.ReadSettingNumber("Long", "Zeros", 99), 0);
    ini.WriteString("Long", "Zeros", std::string(1022, '0') + "5");
    EXPECT_EQ(ini.ReadSettingNumber("Long", "Zeros", 99), 5);
    ini.WriteString("Long", "Nines", std::string(5000, '9'));
    EXPECT_EQ(ini.ReadSettingNumber("Long", "Nines", 99), 99);
}

TEST_F(IniFileTest, WritingChangesOnlyTheKey) {
    TIniFile ini(path_);
    ini.WriteSettingNumber("main", "WIDTH", 640);
    ini.WriteSettingNumber("Main", "Top", 12);
    ini.WriteSettingNumber("other", "Width", -3);
    std::string expected = kSample;
    expected.replace(expected.find("0x1F4"), 5, "640");
    expected.replace(expected.find("  -8  "), 6, "12");
    expected.replace(expected.find("Width=7"), 7, "Width=-3");
    EXPECT_EQ(test::ReadTestFile(path_), expected);
    EXPECT_EQ(ini.ReadSettingNumber("Main", "Width", 0), 640);
}

TEST_F(IniFileTest, NewKeysGoAtTheEndOfTheirSection) {
    TIniFile ini(path_);
    ini.WriteSettingNumber("Main", "Right", 5);
    ini.WriteString("Other", "New", "v");
    ini.WriteString("Added", "K", "値");
    std::string expected = kSample;
    expected.insert(expected.find("\r\n\r\n[ other ]") + 2, "Right=5\r\n");
    expected += "New=v\r\n[Added]\r\nK=値\r\n";
    EXPECT_EQ(test::ReadTestFile(path_), expected);
    EXPECT_EQ(ini.ReadString("Added", "K", ""), "値");
}

TEST(IniFile, FilesWithoutAFinalLineEnd) {
    test::TempFolder folder;
    std::string path = folder / "s.ini";
    test::WriteTestFile(path, "[A]\nx=1");
    TIniFile ini(path);
    ini.WriteString("A", "y", "2");
    ini.WriteString("B", "z", "3");
    EXPECT_EQ(test::ReadTestFile(path), "[A]\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");

    test::WriteTestFile(path, "[A]");
    ini.WriteString("a", "k", "v");
    EXPECT_EQ(test::ReadTestFile(path), "[A]\r\nk=v\r\n");

    // A last line ending in a lone CR still gets a full line end before the new key.
    test::WriteTestFile(path, "[Main]\r\nx=1\r");
    ini.WriteSettingNumber("Main", "Width", 517);
    EXPECT_EQ(ini.ReadSettingNumber("Main", "Width", -1), 517);
}

TEST(IniFile, FirstWriteCreatesTheFile) {
    test::TempFolder folder;
    std::string path = folder / "new.ini";
    TIniFile ini(path);
    ini.WriteSettingNumber("Main", "Left", -8);
    ini.WriteString("Main", "Note", "a\r\nb");  // a line break would split the key
    EXPECT_EQ(test::ReadTestFile(path), "[Main]\r\nLeft=-8\r\nNote=a\r\n");
    EXPECT_EQ(ini.ReadSettingNumber("Main", "Left", 0), -8);
}

TEST(IniFile, WriteFailuresNameTheFullPath) {
    test::TempFolder folder;
    auto failureOf = [](TIniFile& ini) {
        try {
            ini.WriteSettingNumber("Main", "Width", 1);
        } catch (const Failure& failure) {
            return failure.message();
        }
        return std::string("no failure");
    };

    TIniFile missingFolder(folder / "nowhere/s.ini");
    EXPECT_EQ(failureOf(missingFolder), folder / "nowhere/s.ini に書き込めません");

    std::string locked = folder / "locked.ini";
    test::WriteTestFile(locked, "[Main]\r\nWidth=5\r\n");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    TIniFile lockedIni(locked);
    EXPECT_EQ(failureOf(lockedIni), locked + " に書き込めません");
    EXPECT_EQ(test::ReadTestFile(locked), "[Main]\r\nWidth=5\r\n");

    // A relative path is shown from the working folder.
    char* cwd = getcwd(nullptr, 0);
    ASSERT_NE(cwd, nullptr);
    std::string oldFolder = cwd;
    free(cwd);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    FileFaults faults{.failingWrite = 1, .writeErrno = ENOSPC};
    SetFileFaultsForTesting(&faults);
    TIniFile relative("rel.ini");
    std::string message = failureOf(relative);
    SetFileFaultsForTesting(nullptr);
    ASSERT_EQ(chdir(oldFolder.c_str()), 0);
    char* real = realpath(folder.Path().c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(message, std::string(real) + "/rel.ini に書き込めません");
    free(real);
    EXPECT_EQ(folder.Listing(), "locked.ini;");
}

}  // namespace
}  // namespace qv
