// The platform's floor for the benchmark: a bare walk by current directory with
// FindFirstFileA/FindNextFileA doing the same per-file time conversions and old-file test
// and nothing else ("walk"), the same walk deleting the old files by name ("job"), and the
// same walk deleting them through handles as a careful job must ("bound": a handle to each
// directory, a relative open of the file that follows no link and waits for no oplock, its
// times read through that handle, the disposition, the close). "clean" is the whole safe
// job for trees of any shape and depth: no current directory at all, each directory opened
// relative to its parent's handle without following a link, its old files deleted as in
// "bound", then each old directory left empty removed through a handle of its own, once
// its own listing shows it empty. Like the job, it counts a deletion only once the name is
// seen gone (a second listing of the directory, or a lookup where one name went), and it
// lists a directory only once its final path shows it below the root: Wine opens through
// a Linux symbolic link however the open is asked. It keeps counts where the job keeps a
// list, and sorts nothing.
// Usage: vantrell_floor walk|job|bound|clean ROOT DAYS
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

double ToDays(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    // Days since 1601 are enough for a comparison; the epoch does not matter here.
    ULARGE_INTEGER v;
    v.LowPart = local.dwLowDateTime;
    v.HighPart = local.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 864000000000.0 + st.wMilliseconds * 0.0;
}

const ULONG kSynchronous = 0x20, kNonDirectory = 0x40, kDirectory = 0x1, kNoOplock = 0x100,
            kBackup = 0x4000, kNoLink = 0x200000;

// Opens `name` relative to the open directory, following no link.
HANDLE OpenRelative(HANDLE directory, const std::wstring& name, ACCESS_MASK access, ULONG options) {
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<wchar_t*>(name.c_str());
    objectName.Length = objectName.MaximumLength =
        static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, directory, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE file = nullptr;
    if (NtCreateFile(&file, access | SYNCHRONIZE, &attributes, &io, nullptr, 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                     options | kSynchronous | kNoLink, nullptr, 0) < 0)
        return nullptr;
    return file;
}

bool SetDeleted(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Deletes `name` of the open directory through a handle of its own.
bool DeleteBound(HANDLE directory, const std::wstring& name, double cutOff) {
    HANDLE file =
        OpenRelative(directory, name, DELETE | FILE_READ_ATTRIBUTES, kNonDirectory | kNoOplock);
    if (!file)
        return false;
    FILE_BASIC_INFO basic{};
    FILETIME created, written;
    bool done = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
    created.dwLowDateTime = basic.CreationTime.LowPart;
    created.dwHighDateTime = static_cast<DWORD>(basic.CreationTime.HighPart);
    written.dwLowDateTime = basic.LastWriteTime.LowPart;
    written.dwHighDateTime = static_cast<DWORD>(basic.LastWriteTime.HighPart);
    done = done && ToDays(created) <= cutOff && ToDays(written) <= cutOff && SetDeleted(file);
    CloseHandle(file);
    return done;
}

bool DeleteBound(HANDLE directory, const char* name, double cutOff) {
    wchar_t wide[MAX_PATH];
    const int n = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    return n > 1 && DeleteBound(directory, std::wstring(wide, n - 1), cutOff);
}

bool IsOld(const LARGE_INTEGER& createdTime, const LARGE_INTEGER& writtenTime, double cutOff) {
    FILETIME created, written;
    created.dwLowDateTime = createdTime.LowPart;
    created.dwHighDateTime = static_cast<DWORD>(createdTime.HighPart);
    written.dwLowDateTime = writtenTime.LowPart;
    written.dwHighDateTime = static_cast<DWORD>(writtenTime.HighPart);
    return ToDays(created) <= cutOff && ToDays(written) <= cutOff;
}

// The safe job by handles alone, depth first without recursion.
struct Clean {
    struct Level {
        Level(HANDLE h, const std::wstring& n) : handle(h), name(n) {}
        HANDLE handle;
        std::wstring name;  // in its parent
        long long left = 0; // entries not deleted or removed
        std::vector<std::wstring> subdirectories;
        std::vector<std::wstring> gone; // deleted, not yet seen gone
        size_t next = 0;
    };
    double cutOff;
    std::wstring rootFinal;
    long long examined = 0, old = 0, deleted = 0, removed = 0;
    std::vector<char> buffer = std::vector<char>(64 * 1024);

    // Hands `entry` each entry of the open directory but "." and "..", until it answers
    // false; true when the listing reached its end.
    template <typename Entry> bool ForEachEntry(HANDLE directory, Entry entry) {
        FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
        while (GetFileInformationByHandleEx(directory, kind, buffer.data(),
                                            static_cast<DWORD>(buffer.size()))) {
            kind = FileFullDirectoryInfo;
            for (char* at = buffer.data();;) {
                const auto* e = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
                const std::wstring name(e->FileName, e->FileNameLength / sizeof(wchar_t));
                if (name != L"." && name != L".." && !entry(name, *e))
                    return false;
                if (!e->NextEntryOffset)
                    break;
                at += e->NextEntryOffset;
            }
        }
        return GetLastError() == ERROR_NO_MORE_FILES;
    }
    static std::wstring FinalPath(HANDLE handle) {
        std::vector<wchar_t> path(1024);
        DWORD n = GetFinalPathNameByHandleW(handle, path.data(), 1024, 0);
        if (n >= 1024) {
            path.resize(n + 1);
            n = GetFinalPathNameByHandleW(handle, path.data(), n + 1, 0);
        }
        return n > 0 && n < path.size() ? std::wstring(path.data(), n) : std::wstring();
    }
    // As the job takes it: below the root, or no final path to tell (a path too long).
    bool Below(HANDLE handle) const {
        const std::wstring path = FinalPath(handle);
        return path.empty() || (path.size() > rootFinal.size() && path[rootFinal.size()] == L'\\' &&
                                !_wcsnicmp(path.c_str(), rootFinal.c_str(), rootFinal.size()));
    }
    // The directory's place is asked once it has an entry: an empty one gives nothing.
    void List(Level& level, bool isRoot) {
        bool asked = isRoot;
        ForEachEntry(level.handle, [&](const std::wstring& name, const FILE_FULL_DIR_INFO& e) {
            if (!asked && !Below(level.handle)) {
                level.left = 1; // neither listed nor removed
                return false;
            }
            asked = true;
            Entry(level, name, e);
            return true;
        });
        ConfirmGone(level);
    }
    // One name is looked up; more are looked for in one listing.
    void ConfirmGone(Level& level) {
        long long seen = 0;
        if (level.gone.size() == 1) {
            HANDLE found = OpenRelative(level.handle, level.gone[0], FILE_READ_ATTRIBUTES, 0);
            if (found) {
                CloseHandle(found);
                seen = 1;
            }
        } else if (!level.gone.empty()) {
            const std::unordered_set<std::wstring> gone(level.gone.begin(), level.gone.end());
            ForEachEntry(level.handle, [&](const std::wstring& name, const FILE_FULL_DIR_INFO&) {
                seen += static_cast<long long>(gone.count(name));
                return true;
            });
        }
        const long long confirmed = static_cast<long long>(level.gone.size()) - seen;
        deleted += confirmed;
        level.left -= confirmed;
        level.gone.clear();
    }
    void Entry(Level& level, const std::wstring& name, const FILE_FULL_DIR_INFO& e) {
        ++level.left;
        if (!(e.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++examined;
            if (IsOld(e.CreationTime, e.LastWriteTime, cutOff)) {
                ++old;
                if (DeleteBound(level.handle, name, cutOff))
                    level.gone.push_back(name);
            }
        } else if (!(e.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_REPARSE_POINT))) {
            level.subdirectories.push_back(name);
        }
    }
    bool OldDirectory(HANDLE handle) {
        FILE_BASIC_INFO basic{};
        return GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) &&
               IsOld(basic.CreationTime, basic.LastWriteTime, cutOff);
    }
    // Removes the directory `name` of `parent`, which the counts say is empty, if it is old
    // now (a directory emptied in this run is not) and its own listing, through the same
    // handle, shows it empty: counts from the walk do not see what was made in it since,
    // which a file system that deletes a collection with its contents (a WebDAV share)
    // would take with it.
    bool Remove(HANDLE parent, const std::wstring& name) {
        HANDLE directory =
            OpenRelative(parent, name, DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY,
                         kDirectory | kBackup);
        if (!directory)
            return false;
        const auto none = [](const std::wstring&, const FILE_FULL_DIR_INFO&) { return false; };
        const bool done =
            OldDirectory(directory) && ForEachEntry(directory, none) && SetDeleted(directory);
        CloseHandle(directory);
        return done;
    }
    void Run(HANDLE root) {
        std::vector<Level> path;
        path.emplace_back(root, L"");
        rootFinal = FinalPath(root);
        if (!rootFinal.empty() && rootFinal.back() == L'\\')
            rootFinal.pop_back(); // a drive's root
        List(path.back(), true);
        while (!path.empty()) {
            Level& level = path.back();
            if (level.next < level.subdirectories.size()) {
                const std::wstring name = level.subdirectories[level.next++];
                HANDLE child = OpenRelative(
                    level.handle, name, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                    kDirectory | kBackup);
                if (child) {
                    path.emplace_back(child, name);
                    List(path.back(), false);
                }
                continue;
            }
            const Level done = std::move(level);
            path.pop_back();
            if (path.empty())
                break;
            CloseHandle(done.handle);
            if (done.left == 0 && Remove(path.back().handle, done.name))
                ++removed, --path.back().left;
        }
    }
};

struct Walk {
    double cutOff;
    bool remove, bound;
    long long examined = 0, old = 0, deleted = 0;

    void Directory() {
        WIN32_FIND_DATAA e;
        HANDLE directory = INVALID_HANDLE_VALUE;
        if (bound)
            directory = CreateFileA(".", FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        HANDLE h = FindFirstFileA("*.*", &e);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    continue;
                ++examined;
                double created = ToDays(e.ftCreationTime);
                double modified = ToDays(e.ftLastWriteTime);
                ToDays(e.ftLastAccessTime);
                if (created <= cutOff && modified <= cutOff) {
                    ++old;
                    if (bound ? DeleteBound(directory, e.cFileName, cutOff)
                              : remove && DeleteFileA(e.cFileName))
                        ++deleted;
                }
            } while (FindNextFileA(h, &e));
            FindClose(h);
        }
        if (directory != INVALID_HANDLE_VALUE)
            CloseHandle(directory);
        h = FindFirstFileA("*.*", &e);
        if (h == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (e.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ||
                !strcmp(e.cFileName, ".") || !strcmp(e.cFileName, ".."))
                continue;
            if (SetCurrentDirectoryA(e.cFileName)) {
                Directory();
                SetCurrentDirectoryA("..");
            }
        } while (FindNextFileA(h, &e));
        FindClose(h);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (strcmp(argv[1], "walk") && strcmp(argv[1], "job") &&
                      strcmp(argv[1], "bound") && strcmp(argv[1], "clean"))) {
        fprintf(stderr, "usage: vantrell_floor walk|job|bound|clean ROOT DAYS\n");
        return 1;
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FILETIME localNow;
    FileTimeToLocalFileTime(&now, &localNow);
    ULARGE_INTEGER v;
    v.LowPart = localNow.dwLowDateTime;
    v.HighPart = localNow.dwHighDateTime;
    const double cutOff = static_cast<double>(v.QuadPart) / 864000000000.0 - atoi(argv[3]);
    if (!strcmp(argv[1], "clean")) {
        HANDLE root = CreateFileA(argv[2], FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (root == INVALID_HANDLE_VALUE) {
            fprintf(stderr, "cannot open %s\n", argv[2]);
            return 1;
        }
        Clean clean;
        clean.cutOff = cutOff;
        clean.Run(root);
        CloseHandle(root);
        printf("%lld examined, %lld old, %lld deleted, %lld directories removed\n", clean.examined,
               clean.old, clean.deleted, clean.removed);
        return 0;
    }
    Walk walk;
    walk.cutOff = cutOff;
    walk.remove = !strcmp(argv[1], "job");
    walk.bound = !strcmp(argv[1], "bound");
    if (!SetCurrentDirectoryA(argv[2])) {
        fprintf(stderr, "cannot enter %s\n", argv[2]);
        return 1;
    }
    walk.Directory();
    printf("%lld examined, %lld old, %lld deleted\n", walk.examined, walk.old, walk.deleted);
    return 0;
}
