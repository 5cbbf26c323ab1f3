// Tells Vantrell's main window that the Windows session ends, as Windows does at a logoff or
// shutdown, once a file appears (the CSV file: the deletion is about to start).
// Usage: end_session FILE. Returns 0 when the end was allowed and the second message
// delivered (or the program had already ended by then).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    for (int waited = 0; GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES; ++waited) {
        if (waited > 60000)
            return 3;
        Sleep(1);
    }
    HWND window = FindWindowA("TForm1", nullptr);
    if (!window) {
        fprintf(stderr, "no window\n");
        return 4;
    }
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                             &answer) ||
        !answer)
        return 5;
    // The first message already stops the run; the program may be gone before the second.
    if (!SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                             &answer) &&
        IsWindow(window))
        return 6;
    return 0;
}
