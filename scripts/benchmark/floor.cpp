// The platform's floor for the benchmark: a bare walk by current directory with
// FindFirstFileA/FindNextFileA doing the same per-file time conversions and old-file test
// and nothing else ("walk"), the same walk deleting the old files by name ("job"), and the
// same walk deleting them through handles as a careful job must ("bound": a handle to each
// directory, a relative open of the file that follows no link and waits for no oplock, its
// times read through that handle, the disposition, the close).
// Usage: vantrell_floor walk|job|bound ROOT DAYS
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Deletes `name` of the open directory through a handle of its own.
bool DeleteBound(HANDLE directory, const char* name, double cutOff) {
    wchar_t wide[MAX_PATH];
    const int n = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    if (n <= 1)
        return false;
    UNICODE_STRING objectName;
    objectName.Buffer = wide;
    objectName.Length = objectName.MaximumLength = static_cast<USHORT>((n - 1) * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, directory, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE file = nullptr;
    if (NtCreateFile(&file, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &io, nullptr,
                     0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                     0x40 | 0x20 | 0x100 | 0x200000, nullptr, 0) < 0)
        return false;
    FILE_BASIC_INFO basic{};
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    FILETIME created, written;
    bool done = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
    created.dwLowDateTime = basic.CreationTime.LowPart;
    created.dwHighDateTime = static_cast<DWORD>(basic.CreationTime.HighPart);
    written.dwLowDateTime = basic.LastWriteTime.LowPart;
    written.dwHighDateTime = static_cast<DWORD>(basic.LastWriteTime.HighPart);
    done = done && ToDays(created) <= cutOff && ToDays(written) <= cutOff &&
           SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(file);
    return done;
}

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
    if (argc != 4 ||
        (strcmp(argv[1], "walk") && strcmp(argv[1], "job") && strcmp(argv[1], "bound"))) {
        fprintf(stderr, "usage: vantrell_floor walk|job|bound ROOT DAYS\n");
        return 1;
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FILETIME localNow;
    FileTimeToLocalFileTime(&now, &localNow);
    ULARGE_INTEGER v;
    v.LowPart = localNow.dwLowDateTime;
    v.HighPart = localNow.dwHighDateTime;
    Walk walk;
    walk.cutOff = static_cast<double>(v.QuadPart) / 864000000000.0 - atoi(argv[3]);
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
