#include "fs/plain_file.h"

#include "fs/exact_names.h"
#include "fs/unique_handle.h"

FsResult ReadPlainFile(const std::string& directory, const std::string& name, std::string& text,
                       DWORD& attributes) {
    text.clear();
    attributes = 0;
    std::wstring wideDirectory, wideName;
    if (!ToExactWide(directory, wideDirectory) || !ToExactWide(name, wideName))
        return FsResult(ERROR_INVALID_NAME, FsStep::Name);
    // Opened for this alone: a directory whose final path the system cannot give (which a
    // BoundDirectory needs) still holds readable settings.
    FileHandle dir(CreateFileW(wideDirectory.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE, kShareAll,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir.valid())
        return FsResult(GetLastError(), FsStep::Open);
    FileHandle file;
    const FsResult opened = OpenInDirectory(
        dir.get(), wideName, FILE_READ_DATA | FILE_READ_ATTRIBUTES, ItemKind::kFile, file);
    if (!opened.Ok())
        return opened;
    unsigned long links = 0;
    FILETIME created, written, accessed;
    if (IsLinkHandle(file.get()) || !ReadLinkCount(file.get(), links).Ok() || links != 1 ||
        !ReadStamps(file.get(), created, written, accessed, attributes).Ok())
        return FsResult(kNotWhereListed, FsStep::Check);
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return FsResult(GetLastError(), FsStep::Read);
        if (got == 0)
            return FsResult::Success();
        text.append(buffer, got);
    }
}
