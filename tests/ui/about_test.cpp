// The About box and the file information it reads. The test program carries the same
// resources as Vantrell.exe, version block included.
#include "ui/about/about_box.h"

#include <fstream>

#include <gtest/gtest.h>

namespace {

std::string Self() {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, sizeof path));
}

std::string TempDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir =
        std::string(temp) + "vantrell-fileinfo-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

TEST(FileInfo, DescribesTheRunningExecutable) {
    const std::string self = Self();
    const size_t slash = self.find_last_of('\\');
    TFileInfo info;
    info.SetFilename(self);
    EXPECT_EQ(info.Version().Text, "1.0 Release 4 Build 21");
    EXPECT_EQ(info.Version().Build, 21);
    EXPECT_EQ(info.Short(), self.substr(slash + 1));
    EXPECT_EQ(info.Extension(), ".exe");
    EXPECT_EQ(info.WithoutExtension(), self.substr(slash + 1, self.size() - slash - 5));
    EXPECT_EQ(info.Path(), self.substr(0, slash + 1));
    EXPECT_EQ(info.Drive(), self.substr(0, 1) + ":\\");
    EXPECT_GT(info.Size(), 0);
    EXPECT_GT(info.TimeStamp().LastWrite, 40000.0);
}

TEST(FileInfo, NamePartsOfOtherFilesDirectoriesAndMissingOnes) {
    const std::string dir = TempDir();
    for (const char* name : {"archive.tar.gz", "README"})
        std::ofstream(dir + "\\" + name) << "x";
    static int beeps = 0;
    TFileInfo info([] { ++beeps; });
    info.SetFilename(dir + "\\archive.tar.gz");
    EXPECT_EQ(info.Extension(), ".gz");
    EXPECT_EQ(info.WithoutExtension(), "archive.tar");
    EXPECT_EQ(info.Size(), 1);
    EXPECT_EQ(info.Version().Text, "0.0 Release 0 Build 0") << "no version block: zeros";
    info.SetFilename(dir + "\\README");
    EXPECT_EQ(info.Extension(), "");
    EXPECT_EQ(info.WithoutExtension(), "README");
    EXPECT_EQ(info.DOS83(), "README");

    info.SetFilename(dir);
    EXPECT_EQ(info.Short(), "") << "a directory does not exist as a file";
    EXPECT_EQ(info.Version().Text, "");
    EXPECT_GT(info.TimeStamp().LastWrite, 0.0) << "but the search still describes it";
    EXPECT_FALSE(info.DOS83().empty());

    // A wildcard or a trailing dot must not describe another file that it happens to match.
    EXPECT_EQ(beeps, 0) << "each of those was found";
    for (const char* other : {"\\arch*.gz", "\\README.", "\\README "}) {
        const int before = beeps;
        info.SetFilename(dir + other);
        EXPECT_EQ(beeps, before + 1) << "one beep for a missing file: " << other;
        EXPECT_EQ(info.Short(), "") << other;
        EXPECT_EQ(info.Size(), 0) << other;
        EXPECT_EQ(info.TimeStamp().Creation, 0.0) << other;
    }

    // A size of 4 GiB and more keeps its high half (the file is sparse: no disk is used).
    const std::string big = dir + "\\big.bin";
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = (1LL << 32) + 4;
    DWORD written = 0;
    const bool wrote = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                       WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(wrote);
    info.SetFilename(big);
    EXPECT_EQ(info.Size(), (1LL << 32) + 5);
    DeleteFileA(big.c_str());

    info.SetFilename(dir + "\\missing.txt");
    EXPECT_EQ(info.Short(), "");
    EXPECT_EQ(info.Path(), "");
    EXPECT_EQ(info.Version().Major, 0);
    EXPECT_EQ(info.TimeStamp().Creation, 0.0);
    EXPECT_EQ(info.DOS83(), "");
    for (const char* name : {"archive.tar.gz", "README"})
        DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA(dir.c_str());
}

bool g_openAfterEscape = false;
HWND g_aboutBox = nullptr;

void CALLBACK AnswerAbout(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = g_aboutBox;
    g_openAfterEscape = IsWindowVisible(box) != FALSE;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(AboutBox, HoldsTheVersionBeforeItIsDrawnAndOnlyEnterCloses) {
    TAboutBox about;
    ASSERT_TRUE(about.Create());
    EXPECT_EQ(about.Text(IdVersion), "Version ?");
    about.FormShow();
    EXPECT_EQ(about.Text(IdVersion), "1.0 Release 4 Build 21");
    RECT client;
    GetClientRect(about.Handle(), &client);
    EXPECT_EQ(client.right, 337);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_EQ(about.Text(IdDonateLabel2), "Donation");

    // Esc is refused; Enter (the OK button) ends the modal showing.
    PostMessageA(about.Handle(), WM_COMMAND, IDCANCEL, 0);
    g_aboutBox = about.Handle();
    SetTimer(nullptr, 0, 300, AnswerAbout);
    about.ShowModal(nullptr);
    EXPECT_TRUE(g_openAfterEscape) << "Esc closed the About box";
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
}

} // namespace
