// Keeps Wine's desktop alive for a whole test session. Wine closes its desktop shortly after
// the last program using it ends; a program that starts while that desktop is going away
// cannot create its first window ("Invalid window handle"). Runs until it is killed.
// Usage: desktop_keeper
#include <windows.h>

#include <cstdio>

int main() {
    // The desktop may itself be closing when this starts: try again until it is back.
    DWORD error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND window = CreateWindowExA(0, "STATIC", "desktop keeper", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, nullptr, nullptr);
        if (window) {
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
            return 0;
        }
        error = GetLastError();
        Sleep(100);
    }
    fprintf(stderr, "desktop_keeper: no window could be created: %lu\n", error);
    return 1;
}
