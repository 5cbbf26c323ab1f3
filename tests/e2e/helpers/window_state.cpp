// Prints the main window's state as Windows sees it: "zoomed WIDTH HEIGHT SCREENWIDTH
// SCREENHEIGHT" (zoomed 1 when maximised; sizes of the outer window and of the screen), or
// "none" when no main window is open.
#include <windows.h>

#include <cstdio>

int main() {
    HWND window = FindWindowA("TForm1", "Vantrell");
    if (!window) {
        std::printf("none\n");
        return 1;
    }
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%d %ld %ld %d %d\n", IsZoomed(window) ? 1 : 0, r.right - r.left, r.bottom - r.top,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}
