// The system calls under the walk, the deletion and the removal, in one table. A test puts
// its own answers in place of some of them, as a Windows file system that Wine does not
// show would answer (FAT, a share, a cloud folder), and hands the rest to the system.
#pragma once
#include <windows.h>
#include <winternl.h>

struct NtCalls {
    NTSTATUS(NTAPI* createFile)
    (PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER, ULONG, ULONG,
     ULONG, ULONG, PVOID, ULONG);
    NTSTATUS(NTAPI* queryInformation)
    (HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
    NTSTATUS(NTAPI* setInformation)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
    BOOL(WINAPI* getInformation)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    DWORD(WINAPI* finalPath)(HANDLE, LPWSTR, DWORD, DWORD);
};

// The table in force: the system's own calls unless a test has put others in.
NtCalls& SystemCalls();
// The system's own calls.
const NtCalls& RealSystemCalls();
