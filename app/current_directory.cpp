#include "app/current_directory.h"

#include "app/errors.h"
#include "app/exact_names.h"

#include <windows.h>

// Text going in is converted exactly; only text coming out (the current directory) would
// pass through best fit, so that is read wide and converted here.
void ChangeDirectory(const std::string& path) {
    if (!SetCurrentDirectoryA(path.c_str()))
        throw InOutError(GetLastError());
}

std::string CurrentDirectoryPrefix() {
    const std::wstring current = GrownWideText(
        [](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    if (current.empty())
        throw InOutError(GetLastError());
    std::string narrow;
    if (!ToExactNarrow(current, narrow))
        throw InOutError(ERROR_INVALID_NAME);
    return WithTrailingBackslash(narrow);
}

bool IsExistingDirectory(const std::string& path) {
    std::wstring wide;
    if (!ToExactWide(path, wide))
        return false;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
