// The platform's floor for the benchmark: a bare walk by current directory with
// FindFirstFileA/FindNextFileA doing the same per-file time conversions and old-file test
// and nothing else ("walk"), and the same walk deleting the old files ("job").
// Usage: vantrell_floor walk|job ROOT DAYS
#include <windows.h>

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

struct Walk {
    double cutOff;
    bool remove;
    long long examined = 0, old = 0, deleted = 0;

    void Directory() {
        WIN32_FIND_DATAA e;
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
                    if (remove && DeleteFileA(e.cFileName))
                        ++deleted;
                }
            } while (FindNextFileA(h, &e));
            FindClose(h);
        }
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
    if (argc != 4 || (strcmp(argv[1], "walk") && strcmp(argv[1], "job"))) {
        fprintf(stderr, "usage: vantrell_floor walk|job ROOT DAYS\n");
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
    if (!SetCurrentDirectoryA(argv[2])) {
        fprintf(stderr, "cannot enter %s\n", argv[2]);
        return 1;
    }
    walk.Directory();
    printf("%lld examined, %lld old, %lld deleted\n", walk.examined, walk.old, walk.deleted);
    return 0;
}
