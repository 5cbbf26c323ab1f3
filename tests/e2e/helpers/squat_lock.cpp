// Holds the object name an earlier lock of the program took (the installation folder's
// volume serial and file index, which anyone who can list the folder can read), as any
// local user could, until it is killed or the given seconds pass. Writes "<folder>\squat.held"
// once the name is held.
// Usage: squat_lock FOLDER SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    HANDLE folder = CreateFileA(argv[1], FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (folder == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(folder, &info)) {
        fprintf(stderr, "cannot read %s: %lu\n", argv[1], GetLastError());
        return 1;
    }
    CloseHandle(folder);
    wchar_t name[80];
    swprintf(name, 80, L"Global\\Vantrell.%08lx.%016llx", info.dwVolumeSerialNumber,
             (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name);
    if (!mutex) {
        fprintf(stderr, "cannot take the name: %lu\n", GetLastError());
        return 1;
    }
    HANDLE marker = CreateFileA((std::string(argv[1]) + "\\squat.held").c_str(), GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(marker);
    Sleep(static_cast<DWORD>(atoi(argv[2])) * 1000);
    CloseHandle(mutex);
    return 0;
}
