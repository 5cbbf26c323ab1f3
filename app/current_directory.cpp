#include "app/current_directory.h"

#include "app/errors.h"

#include <vector>
#include <windows.h>

void ChangeDirectory(const std::string& path) {
    if (!SetCurrentDirectoryA(path.c_str()))
        throw InOutError(GetLastError());
}

std::string CurrentDirectoryPrefix() {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            throw InOutError(GetLastError());
        if (length < buffer.size())
            return WithTrailingBackslash(std::string(buffer.data(), length));
        buffer.resize(length + 1);
    }
}

std::string WithTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path;
    return path + "\\";
}

bool IsExistingDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
