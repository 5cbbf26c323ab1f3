#include "fs/system_redirection.h"

#include <windows.h>

namespace {

bool IsWow64() {
    static const bool wow64 = [] {
        BOOL answer = FALSE;
        return IsWow64Process(GetCurrentProcess(), &answer) && answer;
    }();
    return wow64;
}

} // namespace

std::string ThroughSysnative(const std::string& path, const std::string& windowsDirectory) {
    const std::string system = windowsDirectory + "\\System32";
    if (path.size() < system.size() ||
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                       static_cast<int>(system.size()), system.c_str(),
                       static_cast<int>(system.size())) != CSTR_EQUAL)
        return path;
    if (path.size() > system.size() && path[system.size()] != '\\')
        return path; // "System32x" is another directory
    return windowsDirectory + "\\Sysnative" + path.substr(system.size());
}

std::string WithoutRedirection(const std::string& path) {
    char windows[MAX_PATH + 1];
    // The system's Windows directory: on a Remote Desktop host GetWindowsDirectory may give
    // a per-user one.
    const UINT length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length > MAX_PATH || !IsWow64())
        return path;
    std::string directory(windows, length);
    if (!directory.empty() && directory.back() == '\\')
        directory.pop_back();
    return ThroughSysnative(path, directory);
}

RedirectionOff::RedirectionOff() {
    off_ = IsWow64() && Wow64DisableWow64FsRedirection(&previous_);
}

RedirectionOff::~RedirectionOff() {
    if (off_)
        (void)Wow64RevertWow64FsRedirection(previous_); // it only fails for a value never given
}
