// The directory chooser driven in-process on a real tree.
#include "fs/current_directory.h"
#include "ui/chooser/directory_rows.h"
#include "ui/chooser/path_chooser.h"

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

// The rows alone, with no window: the way down from the root, the current directory, its
// visible subdirectories in name order one level deeper, and its files.
TEST_F(ChooserFixture, TheRowsModelNeedsNoWindow) {
    DirectoryRows rows;
    rows.Read(root + "\\Windows");
    const auto& all = rows.Rows();
    ASSERT_GE(all.size(), 4u);
    const size_t current = rows.CurrentRow();
    EXPECT_EQ(all[current].path, root + "\\Windows");
    EXPECT_EQ(all[current].kind, RowKind::kCurrent);
    EXPECT_EQ(all.front().path, root.substr(0, 3));
    for (size_t i = 1; i <= current; ++i)
        EXPECT_EQ(all[i].depth, all[i - 1].depth + 1) << "the way down, one level a row";
    ASSERT_EQ(all.size(), current + 3) << "apps and System; Hidden is left out";
    EXPECT_EQ(all[current + 1].path, root + "\\Windows\\apps");
    EXPECT_EQ(all[current + 2].path, root + "\\Windows\\System");
    for (size_t i = current + 1; i < all.size(); ++i) {
        EXPECT_EQ(all[i].kind, RowKind::kSubdirectory);
        EXPECT_EQ(all[i].depth, all[current].depth + 1);
    }
    EXPECT_EQ(rows.Files(), (std::vector<std::string>{"notes.txt"}));
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

TEST_F(ChooserFixture, ANameTheCodePageCannotHoldIsOfferedByItsShortNameOnly) {
    const std::wstring lookalike = L"\\Windows\\\u0141og";
    std::wstring wideRoot(root.begin(), root.end());
    ASSERT_TRUE(CreateDirectoryW((wideRoot + lookalike).c_str(), nullptr));
    chooser.OpenAtStart(root + "\\Windows");
    const std::vector<std::string> rows = chooser.RowTexts();
    std::string offered;
    for (const std::string& row : rows) {
        const std::string name = row.substr(row.find_first_not_of(' '));
        EXPECT_NE(name, "Log") << "the best-fit lookalike names another directory";
        if (name.find('~') != std::string::npos)
            offered = name;
    }
    ASSERT_FALSE(offered.empty()) << "the short name is offered";
    EXPECT_TRUE(chooser.OpenDirectory(root + "\\Windows\\" + offered, true));
    EXPECT_EQ(chooser.CurrentDirectory(), root + "\\Windows\\" + offered);
    SetCurrentDirectoryA(root.c_str()); // the chooser left it current
    EXPECT_TRUE(RemoveDirectoryW((wideRoot + lookalike).c_str()));
}

TEST_F(ChooserFixture, AStartThatCannotBeEnteredOpensAtTheCurrentDirectory) {
    SetCurrentDirectoryA((root + "\\Windows\\apps").c_str());
    chooser.OpenAtStart(root + "\\gone");
    EXPECT_EQ(chooser.CurrentDirectory(), root + "\\Windows\\apps");
}

TEST_F(ChooserFixture, TheDriveListHoldsEachDriveWithItsIconAndOpensTheOneChosen) {
    chooser.OpenAtStart(root + "\\Windows");
    HWND drives = chooser.Control(IdChooserDrives);
    const auto& entries = chooser.Drives();
    ASSERT_EQ(SendMessageA(drives, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(entries.size()));
    int shown = -1, other = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_GE(entries[i].icon, 0) << entries[i].letter;
        char text[MAX_PATH] = "";
        SendMessageA(drives, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(text[0], entries[i].letter);
        EXPECT_EQ(text[1], ':');
        if (toupper(entries[i].letter) == toupper(root[0]))
            shown = static_cast<int>(i);
        else
            other = static_cast<int>(i);
    }
    ASSERT_GE(shown, 0);
    EXPECT_EQ(SendMessageA(drives, CB_GETCURSEL, 0, 0), shown) << "the shown drive is selected";
    if (other < 0)
        GTEST_SKIP() << "only one drive here";
    SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
    SendMessageA(chooser.Handle(), WM_COMMAND, MAKEWPARAM(IdChooserDrives, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(drives));
    EXPECT_EQ(toupper(chooser.CurrentDirectory()[0]),
              toupper(entries[static_cast<size_t>(other)].letter));
}

} // namespace
