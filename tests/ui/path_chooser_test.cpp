// The directory chooser driven in-process on a real tree.
#include "app/current_directory.h"
#include "ui/path_chooser.h"

#include <gtest/gtest.h>

namespace {

struct ChooserFixture : ::testing::Test {
    std::string root;
    DirectoryChooser chooser;
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "vantrell-chooser-" + std::to_string(GetCurrentProcessId());
        for (const char* d :
             {"", "\\Windows", "\\Windows\\System", "\\Windows\\apps", "\\Windows\\Hidden"})
            CreateDirectoryA((root + d).c_str(), nullptr);
        SetFileAttributesA((root + "\\Windows\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
        CloseHandle(CreateFileA((root + "\\Windows\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(chooser.Create());
    }
    void TearDown() override {
        SetCurrentDirectoryA("C:\\");
        DeleteFileA((root + "\\Windows\\notes.txt").c_str());
        for (const char* d :
             {"\\Windows\\Hidden", "\\Windows\\apps", "\\Windows\\System", "\\Windows", ""}) {
            SetFileAttributesA((root + d).c_str(), FILE_ATTRIBUTE_NORMAL);
            RemoveDirectoryA((root + d).c_str());
        }
    }
};

TEST_F(ChooserFixture, ShowsTheWayDownTheSubdirectoriesInNameOrderAndNoHiddenOnes) {
    chooser.OpenAtStart(root + "\\Windows");
    EXPECT_EQ(chooser.CurrentDirectory(), root + "\\Windows");
    const std::vector<std::string> rows = chooser.RowTexts();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[rows.size() - 2].substr(rows[rows.size() - 2].find_first_not_of(' ')), "apps");
    EXPECT_EQ(rows.back().substr(rows.back().find_first_not_of(' ')), "System");
    for (const std::string& row : rows)
        EXPECT_EQ(row.find("Hidden"), std::string::npos);
    EXPECT_EQ(SendMessageA(chooser.Control(IdChooserFiles), LB_GETCOUNT, 0, 0), 1) << "notes.txt";
}

TEST_F(ChooserFixture, TheResultIsTheDirectoryOpenedNotTheOneHighlighted) {
    chooser.OpenAtStart(root + "\\Windows");
    HWND tree = chooser.Control(IdChooserTree);
    const int last = static_cast<int>(SendMessageA(tree, LB_GETCOUNT, 0, 0)) - 1;
    SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(last), 0); // System, highlighted only
    SendMessageA(chooser.Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(chooser.Confirmed());
    EXPECT_EQ(chooser.CurrentDirectory(), root + "\\Windows");
    chooser.OpenRow(last);
    EXPECT_EQ(chooser.CurrentDirectory(), root + "\\Windows\\System");
    chooser.OpenRow(0);
    EXPECT_EQ(chooser.CurrentDirectory(), root.substr(0, 3)) << "a drive root keeps its backslash";
}

TEST_F(ChooserFixture, AStartThatCannotBeEnteredOpensAtTheCurrentDirectory) {
    SetCurrentDirectoryA((root + "\\Windows\\apps").c_str());
    chooser.OpenAtStart(root + "\\gone");
    EXPECT_EQ(chooser.CurrentDirectory(), root + "\\Windows\\apps");
}

} // namespace
