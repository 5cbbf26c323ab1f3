// Answers some of the system calls under the file-system layer as a Windows file system
// that Wine does not show would (FAT's root without an identity, a share without
// identities or listing classes, a server that ignores disposition flags, cloud folders),
// and hands every other call to the system. One at a time; the system's calls are back
// when it goes.
#pragma once
#include <functional>
#include <string>

#include "fs/nt_calls.h"
#include "fs/nt_files.h"

class NtStandIn {
  public:
    NtStandIn();
    ~NtStandIn();
    NtStandIn(const NtStandIn&) = delete;
    NtStandIn& operator=(const NtStandIn&) = delete;

    // The identity a query of the item with this final path answers, given the real one.
    std::function<FileId(const std::wstring& finalPath, FileId real)> identity;
    // Changes what a listing of the directory with this final path says of one entry.
    std::function<void(const std::wstring& directory, const std::wstring& name, ULONG& attributes,
                       ULONG& reparseTag)>
        entry;
    // The attributes and reparse tag a query of the item with this final path answers.
    std::function<void(const std::wstring& finalPath, ULONG& attributes, ULONG& tag)> tag;
    // The answer to the extended disposition of the item with this final path, given the
    // flags asked for; the system's own where it gives none (-1).
    std::function<long(const std::wstring& finalPath, ULONG flags)> extendedDisposition;
    // The error a listing of the directory with this final path fails with at its first
    // query, given the class asked for; 0 lets the system list it.
    std::function<DWORD(const std::wstring& directory, FILE_INFO_BY_HANDLE_CLASS kind)> listing;
    // The wide id (FileIdInfo) of the item with this final path, given the system's answer;
    // false to answer that the class is not supported. While it is set, listings with the
    // wide-id class (which Wine lacks) are answered too, each entry's id given the system's
    // index as its low half.
    std::function<bool(const std::wstring& finalPath, WideFileId& id)> wideIdentity;
    // What an open by name inside a directory answers, given the item's path (the directory's
    // final path, a backslash, the name), the access and the open's options: 0 lets the
    // system open it; another success (as an oplock break in progress) opens it and answers
    // that; an error (delete pending, stopped on a link, access denied) fails it unopened.
    std::function<NTSTATUS(const std::wstring& path, ACCESS_MASK access, ULONG options)> open;
    // The error the listing of the directory with this final path fails with at its query
    // number `part` (0 the first), given how many entries it has handed out; 0 lets the
    // system go on. A listing may fail at any part, as a share that drops the connection does.
    std::function<DWORD(const std::wstring& directory, int part)> listingPart;
    // The identity a listing gives an entry, given the one the handle query answers (after
    // `identity`): a file system may number the two differently.
    std::function<FileId(const std::wstring& path, FileId fromHandle)> listedIdentity;
    // The final path a query of an item answers, given the system's (in the form asked for).
    std::function<std::wstring(const std::wstring& real)> finalPath;
    // No final path in the DOS form (a volume the mount manager does not know).
    bool noDosPaths = false;
    // No normalized final path (a share whose user may not read a folder above the root).
    bool noNormalizedPaths = false;

    // The final path of an open item, as the system gives it in the form `flags` asks for;
    // empty where it gives none.
    static std::wstring FinalPath(HANDLE handle, DWORD flags = 0);

  private:
    static NtStandIn* current_;
    int part_ = 0; // the listing's query in progress
    static NTSTATUS NTAPI Create(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                 PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
    static NTSTATUS NTAPI Query(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
    static NTSTATUS NTAPI Set(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
    static BOOL WINAPI GetInformation(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    static BOOL WideListing(HANDLE, bool restart, LPVOID, DWORD);
    static DWORD WINAPI FinalPathOfHandle(HANDLE, LPWSTR, DWORD, DWORD);
};
