#include "app/current_directory.h"

#include "app/errors.h"
#include "app/exact_names.h"

#include <vector>
#include <windows.h>

// Text going in is converted exactly; only text coming out (the current directory) would
// pass through best fit, so that is read wide and converted here.
void ChangeDirectory(const std::string& path) {
    if (!SetCurrentDirectoryA(path.c_str()))
        throw InOutError(GetLastError());
}

std::string CurrentDirectoryPrefix() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            throw InOutError(GetLastError());
        if (length < buffer.size()) {
            std::string narrow;
            if (!ToExactNarrow(std::wstring(buffer.data(), length), narrow))
                throw InOutError(ERROR_INVALID_NAME);
            return WithTrailingBackslash(narrow);
        }
        buffer.resize(length + 1);
    }
}

bool IsExistingDirectory(const std::string& path) {
    std::wstring wide;
    if (!ToExactWide(path, wide))
        return false;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
