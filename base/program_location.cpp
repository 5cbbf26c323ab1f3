#include "base/program_location.h"

#include "fs/exact_names.h"
#include "fs/path_text.h"

#include <windows.h>

// Read wide: the 8-bit call would hand back a lookalike of a directory name the code page
// cannot hold, and the log would go elsewhere. Such a path is taken by its short form, and
// where even that has no exact form, "?" makes every file beside it fail to open rather
// than open another one.
std::string ExecutablePath() {
    const std::wstring wide = GrownWideText([](wchar_t* buffer, DWORD size) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer, size);
        return n < size ? n : size + MAX_PATH; // a full buffer: ask for more
    });
    std::string narrow;
    if (ToExactNarrow(wide, narrow))
        return narrow;
    const std::wstring shortPath = GrownWideText([&wide](wchar_t* buffer, DWORD size) {
        return GetShortPathNameW(wide.c_str(), buffer, size);
    });
    return !shortPath.empty() && ToExactNarrow(shortPath, narrow) ? narrow : NarrowOrInvalid(wide);
}

std::string ProgramDirectory() {
    const std::string full = ExecutablePath();
    const size_t slash = LastDelimiter(full);
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}
