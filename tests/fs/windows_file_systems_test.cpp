// Scans and deletions on file systems as Windows has them and Wine does not show, through a
// stand-in at the NT boundary that answers as each would and hands every other call to
// Wine: FAT's root without an identity, shares without identities, listing classes or
// honest disposition flags, cloud folders, volumes without DOS paths.
#include "command/errors.h"
#include "app/run.h"
#include "support/recording_host.h"
#include "scan/scan_command.h"
#include "support/nt_stand_in.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

const ULONG kCloudTag = 0x9000601A, kSymlinkTag = 0xA000000C, kMountPointTag = 0xA0000003;

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct WindowsFileSystems : ::testing::Test {
    TempTree tree;
    TempTree program;
    RecordingHost host{program.Root()};
    NtStandIn standIn;

    void SetUp() override {
        host.root = tree.Root();
        host.state.settings.interactive = false; // a scheduled job
        OldFiles();
        tree.File("keep.txt", 2);
        tree.Directory("empty", 40);
    }
    void OldFiles() {
        tree.File("a.txt", 40);
        tree.File("sub\\b.txt", 40);
        tree.File("sub\\deeper\\c.txt", 40);
    }
    // Scans and deletes; true when the job ended with "Finished.".
    bool Job() {
        RunScheduledJob(host, {host.root, host.root}, host.days);
        const Lines lines = host.Lines();
        return !lines.empty() && lines.back() == "Finished.";
    }
    bool AllOldGone() {
        return !tree.Exists("a.txt") && !tree.Exists("sub\\b.txt") &&
               !tree.Exists("sub\\deeper\\c.txt") && tree.Exists("keep.txt");
    }
    std::wstring RootFinal() { return NtStandIn::FinalPath(HandleOf(tree.Root())); }
    static HANDLE HandleOf(const std::string& path) {
        static std::vector<HANDLE> open;
        open.push_back(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return open.back();
    }
    // For each directory's path end, the opens for removal (with delete access) of a path
    // that ends so, from CountRemovalOpens on.
    std::map<std::wstring, int> removalOpens;
    template <typename Directories> void CountRemovalOpens(const Directories& directories) {
        removalOpens.clear();
        for (const auto& d : directories)
            removalOpens[d.end] = 0;
        standIn.open = [this](const std::wstring& path, ACCESS_MASK access, ULONG) {
            for (auto& end : removalOpens)
                end.second += (access & DELETE) && EndsWith(path, end.first);
            return NTSTATUS(0);
        };
    }
    bool Logged(const std::string& line) {
        const Lines lines = host.Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(WindowsFileSystems, AFatRootWithoutAnIdentityIsScannedCleanedAndKnownByItsPath) {
    const std::wstring root = RootFinal();
    standIn.identity = [root](const std::wstring& path, FileId real) {
        return path == root ? FileId(0) : real;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(AllOldGone());
    EXPECT_FALSE(tree.Exists("empty")) << "its empty old directory goes too";
    EXPECT_EQ(host.state.counters.deleted, 3);
}

TEST_F(WindowsFileSystems, WithoutAnyIdentitiesEveryDirectoryIsStillEnteredAndCleaned) {
    for (FileId none : {FileId(0), ~FileId(0)}) {
        standIn.identity = [none](const std::wstring&, FileId) { return none; };
        OldFiles();
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_TRUE(AllOldGone()) << std::hex << none;
        EXPECT_EQ(host.log.Text().find("ERROR"), std::string::npos) << host.log.Text();
    }
}

TEST_F(WindowsFileSystems, EveryNotSupportedAnswerToTheExtendedDispositionFallsBack) {
    for (long answer : {0xC0000002L, 0xC0000003L, 0xC00000BBL, 0xC0000010L, 0xC000000DL}) {
        standIn.extendedDisposition = [answer](const std::wstring&, ULONG) { return answer; };
        OldFiles();
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_TRUE(AllOldGone()) << std::hex << answer;
    }
}

TEST_F(WindowsFileSystems, AServerThatIgnoresTheDispositionNeverCountsADeletion) {
    // It says yes to the extended disposition and deletes nothing.
    standIn.extendedDisposition = [](const std::wstring&, ULONG) { return 0L; };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(tree.Exists("a.txt"));
    EXPECT_EQ(host.state.counters.deleted, 0);
    EXPECT_TRUE(Logged("0 files deleted."));
    EXPECT_TRUE(Logged("ERROR: Could not delete " + tree.Path("a.txt")));
}

// Removed empty directories wait to be seen gone by one listing of their parent; their
// lines keep the order of the visits (the last listed first) whichever way each went, and
// one the server kept is never counted.
TEST_F(WindowsFileSystems, EmptyDirectoriesAreReportedInTheOrderOfTheirVisits) {
    for (const char* name : {"p\\a", "p\\c", "p\\z"})
        tree.Directory(name, 40);
    tree.Directory("p\\b", 40, FILE_ATTRIBUTE_READONLY); // its bit is cleared: seen at once
    // The first removal asked for: later ones may take the classic disposition, as Wine's.
    standIn.extendedDisposition = [](const std::wstring& path, ULONG) {
        return EndsWith(path, L"\\p\\z") ? 0L : -1L; // says yes to z and deletes nothing
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    const std::string p = tree.Path("p\\");
    Lines seen;
    for (const std::string& line : host.Lines())
        if (line.find(p) != std::string::npos)
            seen.push_back(line);
    const Lines expected = {"ERROR: Could not delete empty directory: " + p + "z",
                            "Deleted empty directory: " + p + "c",
                            "Deleted empty directory: " + p + "b",
                            "Deleted empty directory: " + p + "a"};
    EXPECT_EQ(seen, expected) << host.log.Text();
    EXPECT_TRUE(tree.Exists("p\\z"));
    EXPECT_FALSE(tree.Exists("p\\a") || tree.Exists("p\\b") || tree.Exists("p\\c"));
    const Lines lines = host.Lines();
    const auto error = std::find(lines.begin(), lines.end(), expected[0]);
    ASSERT_TRUE(error != lines.end() && error + 1 != lines.end());
    EXPECT_EQ((error + 1)->substr(0, 8), "REASON: ");
    const long long removed = std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("Deleted empty directory: ", 0) == 0;
    });
    EXPECT_EQ(host.state.counters.removed, removed);
    EXPECT_TRUE(Logged(std::to_string(removed) + " empty directories deleted."));
}

// The removal reads a directory's times before it lists it: without Debug a new directory
// is listed only by the scan; with Debug the tests keep their order and their lines.
TEST_F(WindowsFileSystems, ANewDirectoryIsListedForItsEmptinessOnlyWithDebug) {
    for (bool debug : {false, true}) {
        OldFiles(); // the removal follows a deletion
        tree.Directory("fresh", 2);
        host.state.settings.debug = debug;
        int listings = 0;
        standIn.listing = [&listings](const std::wstring& directory, FILE_INFO_BY_HANDLE_CLASS) {
            listings += EndsWith(directory, L"\\fresh");
            return DWORD(0);
        };
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_EQ(listings, debug ? 2 : 1) << "the scan's, and the emptiness test's with Debug";
        EXPECT_TRUE(tree.Exists("fresh"));
        EXPECT_EQ(Logged("Checking directory " + tree.Path("fresh")), debug);
        EXPECT_EQ(Logged("Directory is NOT old."), debug);
    }
}

// A directory seen not old in the run (new when its parent was listed, or new once the
// deletion in it was done) stays so: without Debug the removal never opens it again.
TEST_F(WindowsFileSystems, ADirectorySeenNotOldIsOpenedForRemovalOnlyWithDebug) {
    const struct {
        const wchar_t* end;
        const char* path;
    } directories[] = {{L"\\fresh", "fresh"}, {L"\\sub", "sub"}, {L"\\deeper", "sub\\deeper"}};
    for (bool debug : {false, true}) {
        OldFiles(); // "sub" and "sub\\deeper" are old until the deletion empties them
        tree.Directory("fresh", 2);
        host.state.settings.debug = debug;
        CountRemovalOpens(directories);
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_TRUE(AllOldGone());
        for (const auto& d : directories) {
            EXPECT_EQ(removalOpens[d.end] > 0, debug) << d.path;
            EXPECT_TRUE(tree.Exists(d.path)) << d.path;
        }
        EXPECT_EQ(Logged("Directory is NOT old."), debug);
    }
}

// A directory one of whose listed subdirectories stays is not empty: without Debug the
// removal passes it over unopened, as it does not one whose subdirectory it removed.
TEST_F(WindowsFileSystems, ADirectoryHoldingOneThatStaysIsOpenedForRemovalOnlyWithDebug) {
    const struct {
        const wchar_t* end;
        bool opened; // without Debug
    } directories[] = {{L"\\outer", false}, {L"\\inner", true}, {L"\\emptied", true}};
    for (bool debug : {false, true}) {
        OldFiles(); // a job with nothing to delete removes nothing either
        tree.File("outer\\inner\\new.txt", 2);
        tree.Age("outer\\inner", 40);
        tree.Age("outer", 40);
        tree.Directory("emptied\\old", 40);
        tree.Age("emptied", 40);
        host.state.settings.debug = debug;
        CountRemovalOpens(directories);
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        for (const auto& d : directories)
            EXPECT_EQ(removalOpens[d.end] > 0, debug || d.opened) << debug;
        EXPECT_TRUE(tree.Exists("outer\\inner\\new.txt"));
        EXPECT_FALSE(tree.Exists("emptied\\old"));
        EXPECT_EQ(Logged("Checking directory " + tree.Path("outer")), debug);
    }
}

TEST_F(WindowsFileSystems, ACloudFolderIsEnteredAndALinkNever) {
    const struct {
        ULONG tag;
        bool entered;
    } cases[] = {{kCloudTag, true}, {kSymlinkTag, false}, {kMountPointTag, false}, {0, false}};
    for (const auto& c : cases) {
        tree.File("sub\\b.txt", 40);
        const ULONG tag = c.tag;
        standIn.entry = [tag](const std::wstring&, const std::wstring& name, ULONG& attributes,
                              ULONG& reparseTag) {
            if (name == L"sub") {
                attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
                reparseTag = tag;
            }
        };
        standIn.tag = [tag](const std::wstring& path, ULONG& attributes, ULONG& itemTag) {
            if (EndsWith(path, L"\\sub")) {
                attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
                itemTag = tag;
            }
        };
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_EQ(!tree.Exists("sub\\b.txt"), c.entered) << std::hex << tag;
    }
}

TEST_F(WindowsFileSystems, APlaceholderOrOfflineFolderIsNeverRemovedAndSaysWhyInDebug) {
    const struct {
        ULONG attributes, tag;
        bool kept;
    } cases[] = {
        {FILE_ATTRIBUTE_REPARSE_POINT, kCloudTag, true},
        {FILE_ATTRIBUTE_REPARSE_POINT, 0x9000001A, true},
        {0x400000, 0, true}, // recall on data access
        {0x40000, 0, true},  // recall on open
        {FILE_ATTRIBUTE_OFFLINE, 0, true},
        {FILE_ATTRIBUTE_ARCHIVE, 0, false},
    };
    host.state.settings.debug = true;
    for (const auto& c : cases) {
        tree.Directory("empty", 40);
        tree.File("cloud\\old.txt", 40); // its old files go like any others
        standIn.tag = [c](const std::wstring& path, ULONG& attributes, ULONG& tag) {
            if (EndsWith(path, L"\\empty") || EndsWith(path, L"\\cloud")) {
                attributes |= c.attributes;
                tag = c.tag;
            }
        };
        host.log.Clear();
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_EQ(tree.Exists("empty"), c.kept) << std::hex << c.attributes << " " << c.tag;
        EXPECT_FALSE(tree.Exists("cloud\\old.txt"));
        EXPECT_EQ(Logged("Directory is a cloud placeholder or offline: it is kept."), c.kept);
    }
}

TEST_F(WindowsFileSystems, AVolumeWithoutDosOrNormalizedPathsIsScannedInTheFormItHas) {
    for (int without = 0; without < 3; ++without) {
        SCOPED_TRACE(without);
        standIn.noDosPaths = without != 1;
        standIn.noNormalizedPaths = without != 0; // a share above whose root the user may not read
        tree.File("again\\old.txt", 40);
        ASSERT_TRUE(Job()) << host.log.Text();
        EXPECT_TRUE(AllOldGone());
        EXPECT_FALSE(tree.Exists("again\\old.txt"));
    }
}

TEST_F(WindowsFileSystems, TwoHandlesAreOneFileOnlyWhereTheWideIdsSaySo) {
    tree.File("b.txt", 40);
    const HANDLE a = HandleOf(tree.Path("a.txt")), again = HandleOf(tree.Path("a.txt")),
                 b = HandleOf(tree.Path("b.txt"));
    // Every 64-bit index alike, as ReFS may give them.
    standIn.identity = [](const std::wstring&, FileId) { return FileId(42); };
    const auto fileLetter = [](const std::wstring& path) {
        return static_cast<unsigned char>(path[path.size() - 5]); // "a" of "...\\a.txt"
    };
    struct Case {
        const char* what;
        std::function<bool(const std::wstring&, WideFileId&)> wide;
        bool sameFile, aIsB;
    };
    const Case cases[] = {
        {"a wide id a file",
         [&](const std::wstring& path, WideFileId& id) {
             id.volume = 7;
             std::memset(id.id, 0, sizeof id.id);
             id.id[15] = fileLetter(path);
             return true;
         },
         true, false},
        {"the same id on another volume",
         [&](const std::wstring& path, WideFileId& id) {
             id.volume = fileLetter(path);
             std::memset(id.id, 1, sizeof id.id);
             return true;
         },
         true, false},
        {"an unknown wide id",
         [](const std::wstring&, WideFileId& id) {
             std::memset(id.id, 0xFF, sizeof id.id);
             return true;
         },
         false, false},
        {"no wide ids: the index decides", [](const std::wstring&, WideFileId&) { return false; },
         true, true},
    };
    for (const Case& c : cases) {
        standIn.wideIdentity = c.wide;
        EXPECT_EQ(IsSameFile(a, again), c.sameFile) << c.what;
        EXPECT_EQ(IsSameFile(a, b), c.aIsB) << c.what;
    }
}

TEST_F(WindowsFileSystems, AShareWithoutTheIdentityClassIsListedWithThePlainOne) {
    standIn.listing = [](const std::wstring&, FILE_INFO_BY_HANDLE_CLASS kind) -> DWORD {
        return kind == FileIdBothDirectoryRestartInfo ? ERROR_INVALID_PARAMETER : 0;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(AllOldGone());
    EXPECT_FALSE(tree.Exists("empty"));
}

// A share whose listing class carries no identities, while its handles have them.
DWORD WithoutListedIds(const std::wstring&, FILE_INFO_BY_HANDLE_CLASS kind) {
    return kind == FileIdBothDirectoryRestartInfo ? ERROR_INVALID_PARAMETER : 0;
}

TEST_F(WindowsFileSystems, WithoutListedIdsADeletionTheServerIgnoredIsNeverCounted) {
    standIn.listing = WithoutListedIds;
    tree.File("sub\\b2.txt", 40); // two names wait in one directory: its listing, by name
    // It says yes and deletes nothing.
    standIn.extendedDisposition = [](const std::wstring&, ULONG) { return 0L; };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(tree.Exists("a.txt") && tree.Exists("sub\\b.txt") && tree.Exists("sub\\b2.txt"));
    EXPECT_EQ(host.state.counters.deleted, 0);
    EXPECT_TRUE(Logged("0 files deleted.")) << host.log.Text();
    for (const char* file : {"sub\\b.txt", "sub\\b2.txt", "sub\\deeper\\c.txt"})
        EXPECT_TRUE(Logged("ERROR: Could not delete " + tree.Path(file))) << file;
}

TEST_F(WindowsFileSystems, WithoutListedIdsTheProgramsOwnFilesBelowTheRootStay) {
    for (bool anyIds : {true, false}) {
        tree.File("prog\\Vantrell.ini", 40, 0, "[Vantrell]\r\nDaysOld=30\r\n");
        tree.File("prog\\VantrellFiles.csv", 40);
        tree.File("prog\\other.txt", 40);
        RecordingHost installed(tree.Path("prog"));
        installed.state.settings.interactive = false;
        standIn.listing = WithoutListedIds;
        if (!anyIds) // then the program's folder is known by its final path
            standIn.identity = [](const std::wstring&, FileId) { return FileId(0); };
        RunScheduledJob(installed, {tree.Root(), tree.Root()}, installed.days);
        EXPECT_TRUE(tree.Exists("prog\\Vantrell.ini")) << anyIds << installed.log.Text();
        EXPECT_FALSE(tree.Exists("prog\\other.txt")) << anyIds;
    }
}

TEST_F(WindowsFileSystems, ADirectoryThatCannotBeListedIsLoggedAndOneThatAnswersNothingIsEmpty) {
    standIn.listing = [](const std::wstring& directory, FILE_INFO_BY_HANDLE_CLASS) -> DWORD {
        if (EndsWith(directory, L"\\deeper"))
            return ERROR_ACCESS_DENIED;
        return EndsWith(directory, L"\\empty") ? ERROR_FILE_NOT_FOUND : 0;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(Logged("ERROR: Cannot list directory " + tree.Path("sub\\deeper")));
    EXPECT_TRUE(Logged("REASON: " + ReasonText(ERROR_ACCESS_DENIED)));
    EXPECT_TRUE(tree.Exists("sub\\deeper\\c.txt"));
    EXPECT_FALSE(tree.Exists("sub\\b.txt"));
    EXPECT_FALSE(tree.Exists("empty")) << "no entries at all is an empty directory";
}

// The options every open by name inside a directory must carry.
const ULONG kNoRecall = 0x400000, kAsLink = 0x200000, kNoOplockWait = 0x100;
const NTSTATUS kOplockBreak = 0x108, kDeletePending = static_cast<NTSTATUS>(0xC0000056),
               kStoppedOnLink = static_cast<NTSTATUS>(0x8000002D),
               kAccessDenied = static_cast<NTSTATUS>(0xC0000022);

TEST_F(WindowsFileSystems, NoOpenFetchesAPlaceholdersDataOrWaitsForAnOplock) {
    standIn.entry = [](const std::wstring&, const std::wstring& name, ULONG& attributes, ULONG&) {
        if (name == L"a.txt") // a placeholder file: deleted like any other, nothing fetched
            attributes |= 0x400000 | FILE_ATTRIBUTE_OFFLINE | 0x100000; // unpinned too
    };
    int opens = 0;
    std::wstring wrong;
    standIn.open = [&](const std::wstring& path, ACCESS_MASK, ULONG options) -> NTSTATUS {
        ++opens;
        if ((options & (kNoRecall | kAsLink | kNoOplockWait)) !=
            (kNoRecall | kAsLink | kNoOplockWait))
            wrong = path;
        return 0;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(AllOldGone());
    EXPECT_GT(opens, 5);
    EXPECT_EQ(wrong, L"");
}

// What the open of one item answers, as Windows may and Wine never does.
struct OpenAnswer {
    const char* what;
    NTSTATUS status;
};
const OpenAnswer kRefusedOpens[] = {
    {"another client's oplock is being broken", kOplockBreak},
    {"its deletion is pending", kDeletePending},
    {"a link stopped the open", kStoppedOnLink},
    {"access denied", kAccessDenied},
};

TEST_F(WindowsFileSystems, AFileWhoseDeletionOpenIsRefusedIsKeptLoggedAndNeverCounted) {
    for (const OpenAnswer& c : kRefusedOpens) {
        OldFiles();
        standIn.open = [&c](const std::wstring& path, ACCESS_MASK access, ULONG) -> NTSTATUS {
            return EndsWith(path, L"\\a.txt") && (access & DELETE) ? c.status : 0;
        };
        host.log.Clear();
        ASSERT_TRUE(Job()) << c.what << host.log.Text();
        EXPECT_TRUE(tree.Exists("a.txt")) << c.what;
        EXPECT_FALSE(tree.Exists("sub\\b.txt")) << c.what;
        EXPECT_TRUE(Logged("2 files deleted.")) << c.what << host.log.Text();
        EXPECT_TRUE(Logged("ERROR: Could not delete " + tree.Path("a.txt"))) << c.what;
    }
}

TEST_F(WindowsFileSystems, ADirectoryWhoseOpenIsRefusedIsLoggedAndPassedOver) {
    for (const OpenAnswer& c : kRefusedOpens) {
        OldFiles();
        standIn.open = [&c](const std::wstring& path, ACCESS_MASK, ULONG options) -> NTSTATUS {
            return EndsWith(path, L"\\sub") && (options & FILE_DIRECTORY_FILE) ? c.status : 0;
        };
        host.log.Clear();
        ASSERT_TRUE(Job()) << c.what << host.log.Text();
        EXPECT_TRUE(tree.Exists("sub\\b.txt") && tree.Exists("sub\\deeper\\c.txt")) << c.what;
        EXPECT_FALSE(tree.Exists("a.txt")) << c.what;
        EXPECT_TRUE(Logged("ERROR: Cannot enter directory " + tree.Path("sub")))
            << c.what << host.log.Text();
    }
}

// As if `sub` had been moved out of the root after its parent was listed: nothing of it is
// handed over. Its place costs a query as dear as a listing, so a directory with nothing to
// hand over is never asked where it lies.
TEST_F(WindowsFileSystems, ADirectoryOutsideTheRootIsNeverListedAndAnEmptyOneNeverAsked) {
    const std::wstring root = RootFinal(), sub = root + L"\\sub";
    std::vector<std::wstring> asked;
    standIn.finalPath = [&](const std::wstring& real) {
        asked.push_back(real);
        const bool inSub = real.compare(0, sub.size(), sub) == 0 &&
                           (real.size() == sub.size() || real[sub.size()] == L'\\');
        return inSub ? root + L"-moved" + real.substr(root.size()) : real;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(tree.Exists("sub\\b.txt") && tree.Exists("sub\\deeper\\c.txt"));
    EXPECT_FALSE(tree.Exists("a.txt"));
    EXPECT_TRUE(Logged("ERROR: Cannot enter directory " + tree.Path("sub"))) << host.log.Text();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), sub), 1);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), root + L"\\empty"), 0);
}

TEST_F(WindowsFileSystems, AListingThatFailsAfterItsFirstPartIsLoggedAndItsDirectoryKept) {
    tree.Directory("sub\\old empty", 40);
    standIn.listingPart = [](const std::wstring& directory, int part) -> DWORD {
        return EndsWith(directory, L"\\sub") && part == 1 ? ERROR_UNEXP_NET_ERR : 0;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(Logged("ERROR: Cannot list directory " + tree.Path("sub"))) << host.log.Text();
    EXPECT_TRUE(Logged("REASON: " + ReasonText(ERROR_UNEXP_NET_ERR)));
    EXPECT_TRUE(tree.Exists("sub"));
    EXPECT_FALSE(tree.Exists("a.txt"));
}

TEST_F(WindowsFileSystems, AnEntryWhoseListedIdIsNotItsHandlesIsNeverTouched) {
    tree.Directory("sub\\old empty", 40);
    standIn.listedIdentity = [](const std::wstring& path, FileId fromHandle) {
        const bool renumbered = EndsWith(path, L"\\a.txt") || EndsWith(path, L"\\deeper") ||
                                EndsWith(path, L"\\old empty");
        return renumbered ? fromHandle + 1 : fromHandle;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(tree.Exists("a.txt"));
    EXPECT_TRUE(tree.Exists("sub\\deeper\\c.txt")) << "a directory not the one listed";
    EXPECT_TRUE(tree.Exists("sub\\old empty"));
    EXPECT_FALSE(tree.Exists("sub\\b.txt"));
    EXPECT_TRUE(Logged("ERROR: Could not delete " + tree.Path("a.txt"))) << host.log.Text();
}

TEST_F(WindowsFileSystems, OnAVolumeOfWideIdsAFileRenamedOverAListedOneIsKept) {
    // Every 64-bit index alike, as ReFS may give them; only the wide ids tell files apart.
    standIn.identity = [](const std::wstring&, FileId) { return FileId(42); };
    standIn.wideIdentity = [](const std::wstring&, WideFileId& id) {
        std::memcpy(id.id + 8, id.id, 8); // the system's index, as the upper half
        std::memset(id.id, 42, 8);
        return true;
    };
    // After the scan, another file takes the listed old file's name.
    bool swapped = false;
    standIn.open = [&](const std::wstring& path, ACCESS_MASK access, ULONG) -> NTSTATUS {
        if (!swapped && EndsWith(path, L"\\a.txt") && (access & DELETE)) {
            swapped = true;
            tree.File("newcomer.txt", 40);
            EXPECT_TRUE(MoveFileExA(tree.Path("newcomer.txt").c_str(), tree.Path("a.txt").c_str(),
                                    MOVEFILE_REPLACE_EXISTING));
        }
        return 0;
    };
    ASSERT_TRUE(Job()) << host.log.Text();
    EXPECT_TRUE(swapped);
    EXPECT_TRUE(tree.Exists("a.txt")) << host.log.Text();
    EXPECT_TRUE(Logged("ERROR: Could not delete " + tree.Path("a.txt")));
    EXPECT_FALSE(tree.Exists("sub\\b.txt") || tree.Exists("sub\\deeper\\c.txt"))
        << "the listed files, told by their wide ids, go" << host.log.Text();
    EXPECT_FALSE(tree.Exists("empty"));
}

} // namespace
