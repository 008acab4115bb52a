#include "platform/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "expect_failure.h"
#include "platform/files_testing.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr char kSample[] =
    "; settings\r\n[Main]\r\nWidth=0x1F4\r\nHeight=$1F4\r\nLeft=-1\r\n  top  =  -8  \r\n"
    "Bad=abc\r\nEmpty=\r\nPx=12px\r\nHex0=0x\r\nName= 蔵書 一覧 \r\n\r\n"
    "[ other ]\nWidth=7\nUnknown=keep me\n";

class IniFileTest : public testing::Test {
protected:
    void SetUp() override { test::WriteTestFile(path_, kSample); }
    test::TempFolder folder_;
    std::string path_ = folder_ / "Quorvane.ini";
    SettingsFile ini_{path_};
};

TEST_F(IniFileTest, ReadsNumbersAndStringsIgnoringTheCaseOfNamesAndCuttingLongValues) {
    // clang-format off
    const std::tuple<const char*, const char*, int32_t> cases[] = {
        {"Main", "Width", 500}, {"Main", "Height", 500}, {"Main", "Left", -1}, {"Main", "Top", -8},
        {"Main", "Bad", 99}, {"Main", "Empty", 99}, {"Main", "Px", 99}, {"Main", "Hex0", 99},
        {"MAIN", "WIDTH", 500}, {"Other", "width", 7}, {"Mai", "Width", 99}, {"Main", "None", 99}};
    // clang-format on
    for (auto [section, key, value] : cases) {
        EXPECT_EQ(ini_.ReadSettingNumber(section, key, 99), value) << section << "/" << key;
    }
    EXPECT_EQ(ini_.ReadString("Main", "Name", "-"), "蔵書 一覧");
    EXPECT_EQ(ini_.ReadString("settings", "x", "d"), "d");  // comments are no sections
    EXPECT_EQ(SettingsFile(folder_ / "none.ini").ReadString("Main", "Width", "d"), "d");
    ASSERT_EQ(mkfifo((folder_ / "fifo.ini").c_str(), 0644), 0);  // read at once as no file
    EXPECT_EQ(SettingsFile(folder_ / "fifo.ini").ReadString("Main", "Width", "d"), "d");
    ini_.WriteString("Long", "Text", std::string(5000, 'x'));  // values are cut to 1023 bytes
    EXPECT_EQ(ini_.ReadString("Long", "Text", ""), std::string(1023, 'x'));
    ini_.WriteString("Long", "Zeros", std::string(1023, '0') + "5");  // before conversion
    EXPECT_EQ(ini_.ReadSettingNumber("Long", "Zeros", 99), 0);
}

TEST_F(IniFileTest, WritingChangesOnlyTheKeyAndAddsNewOnesOnLinesOfTheirOwnInTheirSection) {
    ini_.WriteSettingNumber("main", "WIDTH", 640);
    ini_.WriteSettingNumber("Main", "Top", 12);
    ini_.WriteSettingNumber("Main", "Right", 5);
    ini_.WriteString("Added", "K", "値\r\nlost");  // a value ends at its first line break
    std::string expected = kSample;
    expected.replace(expected.find("0x1F4"), 5, "640");
    expected.replace(expected.find("  -8  "), 6, "12");
    expected.insert(expected.find("\r\n\r\n[ other ]") + 2, "Right=5\r\n");
    EXPECT_EQ(test::ReadTestFile(path_), expected + "[Added]\r\nK=値\r\n");
    // New keys go on lines of their own, whatever the file's last line ended with.
    test::WriteTestFile(path_, "[A]\nx=1");
    ini_.WriteString("A", "y", "2");
    EXPECT_EQ(test::ReadTestFile(path_), "[A]\nx=1\r\ny=2\r\n");
    test::WriteTestFile(path_, "[Main]\r\nx=1\r");
    ini_.WriteSettingNumber("Main", "Width", 517);
    EXPECT_EQ(test::ReadTestFile(path_), "[Main]\r\nx=1\r\r\nWidth=517\r\n");
    EXPECT_EQ(ini_.ReadSettingNumber("Main", "Width", -1), 517);
}

TEST_F(IniFileTest, WriteFailuresNameTheFullPathAndChangeNothing) {
    auto write = [](SettingsFile ini) { ini.WriteSettingNumber("Main", "Width", 1); };
    EXPECT_FAILS(write(SettingsFile(folder_ / "nowhere/s.ini")),
                 folder_ / "nowhere/s.ini に書き込めません");
    const std::string cwd = std::filesystem::current_path();
    ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
    const FileFaults faults{.failingWrite = 1, .writeErrno = ENOSPC};
    SetFileFaultsForTesting(&faults);
    const std::string real = std::filesystem::canonical(folder_.Path());
    // Shown from the working folder.
    EXPECT_FAILS(write(SettingsFile("Quorvane.ini")), real + "/Quorvane.ini に書き込めません");
    SetFileFaultsForTesting(nullptr);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_EQ(test::ReadTestFile(path_), kSample);
}

}  // namespace
}  // namespace qv
