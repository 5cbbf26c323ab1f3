#include "app/program_location.h"

#include <windows.h>

std::string ExecutablePath() {
    char path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

std::string ProgramDirectory() {
    const std::string full = ExecutablePath();
    const size_t slash = full.find_last_of('\\');
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}
