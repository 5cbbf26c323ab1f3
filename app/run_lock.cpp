#include "app/run_lock.h"

#include "fs/exact_names.h"
#include "fs/replacement_file.h"

#include <cwchar>

const char kOtherRunText[] = "Another run of Vantrell from this folder is working. This run "
                             "ends without touching its log, CSV file or settings.";

namespace {

// The installation's name for the lock: its directory's identity, so that every path to
// the folder (a link, a short name, another drive letter) meets the same lock; its text
// where the identity cannot be read. Global, so that a job in the services' session and
// a window on the desktop meet too.
std::wstring LockName(const std::string& programDirectory) {
    wchar_t name[80];
    FileIdentity identity;
    if (ReadIdentityOfPath(programDirectory, false, identity).Ok() && IsKnownId(identity.id)) {
        swprintf(name, 80, L"Global\\Vantrell.%08lx.%016llx", identity.volume, identity.id);
        return name;
    }
    std::wstring wide;
    (void)ToExactWide(programDirectory, wide);
    unsigned long long hash = 14695981039346656037ull; // FNV-1a of the upper-case text
    for (wchar_t c : wide)
        hash = (hash ^ static_cast<unsigned>(towupper(c))) * 1099511628211ull;
    swprintf(name, 80, L"Global\\Vantrell.path.%016llx", hash);
    return name;
}

} // namespace

bool RunLock::Acquire(const std::string& programDirectory) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, LockName(programDirectory).c_str());
    const DWORD code = GetLastError();
    mutex_.reset(mutex);
    // Already there: another run holds it. No handle (denied): someone else made the name
    // theirs, and this run cannot tell that no run works.
    if (mutex_.valid() && code != ERROR_ALREADY_EXISTS)
        return true;
    mutex_.reset();
    return false;
}
