#include "fs/file_identity.h"

#include "fs/exact_names.h"
#include "fs/unique_handle.h"

FsResult ReadIdentity(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return FsResult(GetLastError(), FsStep::Query);
    identity.volume = info.dwVolumeSerialNumber;
    identity.id = (FileId(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    // As the run's listing names it, where that reads wide ids.
    return WideIdsInForce::Now() ? QueryFileId(handle, identity.id) : FsResult::Success();
}

FsResult ReadIdentityOfPath(const std::string& path, bool linkItself, FileIdentity& identity) {
    std::wstring wide;
    if (!ToExactWide(path, wide))
        return FsResult(ERROR_INVALID_NAME, FsStep::Name);
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (linkItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    FileHandle file(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, flags, nullptr));
    if (!file.valid())
        return FsResult(GetLastError(), FsStep::Open);
    return ReadIdentity(file.get(), identity);
}
