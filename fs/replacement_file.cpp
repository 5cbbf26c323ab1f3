#include "fs/replacement_file.h"

#include "fs/exact_names.h"

#include <vector>

namespace {

// A new file beside `target` under a name no file has: the process and a count make it
// unique among runs, and CREATE_NEW fails rather than open anything already there, a link
// included.
FsResult CreateSibling(const std::wstring& target, DWORD access, DWORD share, FileHandle& file,
                       std::wstring& name) {
    FsResult created(ERROR_FILE_EXISTS, FsStep::Open);
    for (unsigned attempt = 0; attempt < 16 && created.Code() == ERROR_FILE_EXISTS; ++attempt) {
        wchar_t suffix[40];
        swprintf(suffix, sizeof suffix / sizeof suffix[0], L".%lx-%x.new", GetCurrentProcessId(),
                 attempt);
        name = target + suffix;
        file.reset(CreateFileW(name.c_str(), access, share, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        created = file.valid() ? FsResult::Success() : FsResult(GetLastError(), FsStep::Open);
    }
    return created;
}

FsResult MarkForDeletion(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)
               ? FsResult::Success()
               : FsResult(GetLastError(), FsStep::Change);
}

// Deletes what `name` holds only while it is the file `ours` is open on: Wine deletes a
// link's target when the link is deleted by name, and someone may have put one there.
void DeleteIfSame(const std::wstring& name, HANDLE ours) {
    FileHandle named(CreateFileW(name.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (named.valid() && IsSameFile(ours, named.get()))
        (void)MarkForDeletion(named.get());
}

} // namespace

ReplacementFile::~ReplacementFile() {
    Discard();
}

void ReplacementFile::Discard() {
    if (file_.valid() && !inPlace_)
        DeleteIfSame(temporary_, file_.get());
    file_.reset();
}

FsResult ReplacementFile::Create(const std::string& path) {
    Discard();
    inPlace_ = false;
    if (!ToExactWide(path, target_))
        return FsResult(ERROR_INVALID_NAME, FsStep::Name);
    // Readers may look at the log while it grows and no one else may write it. No delete
    // access here: a reader that does not share deletion could not open it then; the
    // rename, by name, needs deletion shared.
    return CreateSibling(target_, GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_DELETE, file_, temporary_);
}

FsResult ReplacementFile::Append(const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file_.get(), data, chunk, &written, nullptr))
            return FsResult(GetLastError(), FsStep::Write);
        if (written == 0)
            return FsResult(ERROR_WRITE_FAULT, FsStep::Write);
        data += written;
        size -= written;
    }
    return FsResult::Success();
}

FsResult ReplacementFile::Flush() {
    return FlushFileBuffers(file_.get()) ? FsResult::Success()
                                         : FsResult(GetLastError(), FsStep::Write);
}

FsResult ReplacementFile::PutInPlace() {
    // A rename replaces whatever the target name holds, a link as the link; the handle
    // stays on the new file.
    if (!MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING))
        return FsResult(GetLastError(), FsStep::Change);
    inPlace_ = true;
    return FsResult::Success();
}

FsResult RemoveOwnFile(const std::string& path) {
    std::wstring target;
    if (!ToExactWide(path, target))
        return FsResult(ERROR_INVALID_NAME, FsStep::Name);
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND)
        return FsResult::Success();
    FileHandle file;
    std::wstring name;
    const FsResult created = CreateSibling(target, DELETE, 0, file, name);
    if (!created.Ok())
        return created;
    // Renamed through its own handle, the handle follows it to its new name.
    const size_t bytes = sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(bytes, 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    target.copy(rename->FileName, target.size());
    const bool renamed =
        SetFileInformationByHandle(file.get(), FileRenameInfo, rename, static_cast<DWORD>(bytes));
    const DWORD code = renamed ? 0 : GetLastError();
    const FsResult deleted = MarkForDeletion(file.get());
    return renamed ? deleted : FsResult(code, FsStep::Change);
}
