#include "fs/current_directory.h"

#include "fs/exact_names.h"
#include "fs/path_text.h"

// Text going in is converted exactly; only text coming out (the current directory) would
// pass through best fit, so that is read wide and converted here.
FsResult ChangeDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) ? FsResult::Success()
                                              : FsResult(GetLastError(), FsStep::CurrentDirectory);
}

FsResult CurrentDirectoryPrefix(std::string& prefix) {
    const std::wstring current = GrownWideText(
        [](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    if (current.empty())
        return FsResult(GetLastError(), FsStep::CurrentDirectory);
    std::string narrow;
    if (!ToExactNarrow(current, narrow))
        return FsResult(ERROR_INVALID_NAME, FsStep::Name);
    prefix = WithTrailingBackslash(narrow);
    return FsResult::Success();
}

bool IsExistingDirectory(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !ToExactWide(path, wide))
        return false; // no path is no directory, not the current one
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
