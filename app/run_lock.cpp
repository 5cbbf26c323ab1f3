#include "app/run_lock.h"

#include "command/run_state.h"
#include "fs/exact_names.h"
#include "fs/replacement_file.h"

const char kOtherRunText[] = "Another run of Vantrell from this folder is working. This run "
                             "ends without touching its log, CSV file or settings.";

namespace {

// A new lock file: nothing already there is ever opened, so a link put in its place leads
// nowhere.
HANDLE CreateLockFile(const std::wstring& path) {
    return CreateFileW(
        path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A lock file already there is held by a running run exactly when it cannot be opened for
// its data beside that run's unshared handle.
bool IsHeld(const std::wstring& path) {
    FileHandle probe(CreateFileW(path.c_str(), FILE_READ_DATA, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                 nullptr));
    return !probe.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace

RunLock::Outcome RunLock::Acquire(const std::string& programDirectory) {
    const std::string path = programDirectory + kLockFileName;
    std::wstring wide;
    if (!ToExactWide(path, wide))
        return NotHeld;
    for (int attempt = 0; attempt < 2; ++attempt) {
        file_.reset(CreateLockFile(wide));
        if (file_.valid())
            return Held;
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
            return code == ERROR_SHARING_VIOLATION ? OtherRun : NotHeld;
        if (IsHeld(wide))
            return OtherRun;
        // What a power cut left, or something put there: taken away by rename, as any file
        // of the program's own, never followed.
        (void)RemoveOwnFile(path);
    }
    return NotHeld;
}
