// Starts a program on a window station and desktop of their own, which no one can see, as
// the Task Scheduler does for a task that runs whether the user is logged on or not. Waits
// for it and returns its exit code. Usage: hidden_station PROGRAM [ARGUMENTS...] (the rest
// of the command line is the program's command line, unchanged).
#include <windows.h>

#include <cstdio>

namespace {

// The command line after this program's own name.
wchar_t* RestOfCommandLine() {
    wchar_t* at = GetCommandLineW();
    const bool quoted = *at == L'"';
    for (++at; *at != L'\0' && (quoted ? *at != L'"' : *at != L' ' && *at != L'\t'); ++at) {
    }
    if (quoted && *at == L'"')
        ++at;
    while (*at == L' ' || *at == L'\t')
        ++at;
    return at;
}

} // namespace

int main() {
    HWINSTA visible = GetProcessWindowStation();
    HWINSTA station = CreateWindowStationW(L"VantrellHidden", 0, WINSTA_ALL_ACCESS, nullptr);
    if (!station || !SetProcessWindowStation(station)) {
        fprintf(stderr, "no window station: %lu\n", GetLastError());
        return 100;
    }
    HDESK desktop = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    SetProcessWindowStation(visible);
    if (!desktop) {
        fprintf(stderr, "no desktop: %lu\n", GetLastError());
        return 101;
    }
    wchar_t where[] = L"VantrellHidden\\Default";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = where;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, RestOfCommandLine(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "cannot start: %lu\n", GetLastError());
        return 102;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
