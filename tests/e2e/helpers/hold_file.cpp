// Holds a file open without delete sharing, as another program would, until it is killed
// or the given seconds pass. Writes "<file>.held" once the file is open.
// Usage: hold_file FILE SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "cannot open %s: %lu\n", argv[1], GetLastError());
        return 1;
    }
    HANDLE marker = CreateFileA((std::string(argv[1]) + ".held").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(marker);
    Sleep(static_cast<DWORD>(atoi(argv[2])) * 1000);
    CloseHandle(file);
    return 0;
}
