#include "command/errors.h"
#include "command/settings.h"
#include "support/temp_tree.h"

#include <random>

#include <gtest/gtest.h>

namespace {

void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

TEST(Settings, ReadingFallsBackToTheDefaultsValueByValue) {
    TempTree dir;
    const std::string ini = dir.Path("Vantrell.ini");
    const std::string programDir = dir.Root() + "\\";

    SettingsValues none = ReadSettingsFile(ini, programDir);
    EXPECT_FALSE(none.debug);
    EXPECT_EQ(none.daysOld, 30);
    EXPECT_EQ(none.drivePath, programDir);
    EXPECT_FALSE(none.maximized);
    EXPECT_FALSE(dir.Exists("Vantrell.ini")) << "reading creates nothing";

    const struct {
        const char* file;
        bool debug;
        int32_t days;
        const char* path;
        bool maximized;
    } cases[] = {
        {"[Vantrell]\r\nDaysOld=500\r\n", false, 500, nullptr, false},
        {"[Vantrell]\r\nDaysOld=-5\r\nDebug=2\r\n", true, -5, nullptr, false},
        {"[vantrell]\r\ndaysold=abc\r\nDEBUG=yes\r\nMaximized=1\r\n", false, 30, nullptr, true},
        {"[Vantrell]\r\nDaysOld=0x1E\r\nDebug=0\r\nMaximized=true\r\n", false, 30, nullptr, false},
        {"[Vantrell]\r\nDaysOld=$0A\r\nDrivePath=\r\n", false, 10, "", false},
        {"[Vantrell]\r\nDrivePath=  \"D:\\Old Files\\\"  \r\nDebug=\r\n", false, 30,
         "D:\\Old Files\\", false},
        {"[Other]\r\nDaysOld=7\r\n", false, 30, nullptr, false},
    };
    for (const auto& c : cases) {
        WriteText(ini, c.file);
        SettingsValues v = ReadSettingsFile(ini, programDir);
        EXPECT_EQ(v.debug, c.debug) << c.file;
        EXPECT_EQ(v.daysOld, c.days) << c.file;
        EXPECT_EQ(v.drivePath, c.path ? c.path : programDir) << c.file;
        EXPECT_EQ(v.maximized, c.maximized) << c.file;
    }
}

TEST(Settings, SavingWritesTheFourKeysInOrderAndKeepsTheRest) {
    TempTree dir;
    const std::string ini = dir.Path("Vantrell.ini");
    SettingsValues v;
    v.daysOld = 45;
    v.drivePath = "C:\\Logs";
    v.maximized = true;
    WriteSettingsFile(ini, v);
    EXPECT_EQ(ReadWholeFile(ini),
              "[Vantrell]\r\nDebug=0\r\nDaysOld=45\r\nDrivePath=C:\\Logs\r\nMaximized=1\r\n");

    WriteText(ini, "[Vantrell]\r\nDebug=1\r\nColour=blue\r\n[Other]\r\nx=1\r\n");
    v.debug = ReadSettingsFile(ini, "").debug;
    WriteSettingsFile(ini, v);
    SettingsValues back = ReadSettingsFile(ini, "");
    EXPECT_TRUE(back.debug) << "saving never changes Debug";
    EXPECT_EQ(back.daysOld, 45);
    const std::string text = ReadWholeFile(ini);
    EXPECT_NE(text.find("Colour=blue"), std::string::npos);
    EXPECT_NE(text.find("[Other]\r\nx=1"), std::string::npos);
}

TEST(Settings, ARefusedWriteNamesTheFile) {
    TempTree dir;
    const std::string ini = dir.Path("Vantrell.ini");
    WriteText(ini, "[Vantrell]\r\nDaysOld=12\r\n");
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    SettingsValues v;
    v.daysOld = 99;
    try {
        WriteSettingsFile(ini, v);
        FAIL() << "the write to a read-only file succeeded";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini);
    }
    EXPECT_EQ(ReadSettingsFile(ini, "").daysOld, 12);
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Settings, GarbageHugeAndRepeatedInputNeverBreaksReading) {
    TempTree dir;
    const std::string ini = dir.Path("Vantrell.ini");
    const std::string programDir = dir.Root() + "\\";

    WriteText(ini, "[Vantrell]\r\nDrivePath=" + std::string(5000, 'p') +
                       "\r\nDaysOld=" + std::string(5000, '7') + "\r\n");
    SettingsValues longLines = ReadSettingsFile(ini, programDir);
    EXPECT_EQ(longLines.drivePath, std::string(2047, 'p')) << "texts are cut at 2047 characters";
    EXPECT_EQ(longLines.daysOld, 30) << "a number beyond 32 bits gives the default";

    WriteText(ini, "[Vantrell]\r\nDaysOld=5\r\nDaysOld=9\r\n[Vantrell]\r\nDebug=1\r\n");
    SettingsValues repeated = ReadSettingsFile(ini, programDir);
    EXPECT_EQ(repeated.daysOld, 5) << "the first of repeated keys counts";

    std::mt19937 random(17);
    for (int round = 0; round < 20; ++round) {
        std::string garbage(static_cast<size_t>(random() % 4096), '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        if (round % 2)
            garbage = "[Vantrell]\r\n" + garbage;
        WriteText(ini, garbage);
        SettingsValues v = ReadSettingsFile(ini, programDir);
        EXPECT_LE(v.drivePath.size(), 2047u);
    }

    std::string huge;
    huge.reserve(10u << 20);
    huge += "[Other]\r\n";
    while (huge.size() < (10u << 20))
        huge += "key" + std::to_string(huge.size()) + "=value\r\n";
    huge += "[Vantrell]\r\nDaysOld=77\r\n";
    WriteText(ini, huge);
    EXPECT_EQ(ReadSettingsFile(ini, programDir).daysOld, 77) << "a 10 MB file is read to its end";
}

} // namespace
