#include "delete/bound_deletion.h"

#include "fs/exact_names.h"
#include "fs/path_text.h"

namespace {

// Writes the attributes through `item` or, where that handle may not (Windows asks for
// attribute writes), through a second handle to the same file.
FsResult WriteAttributes(HANDLE parent, const std::wstring& name, HANDLE item, DWORD attributes) {
    if (ClearBitsThroughHandle(item, attributes, 0).Ok())
        return FsResult::Success();
    FileHandle writer;
    const FsResult opened = OpenInDirectory(
        parent, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, ItemKind::kEither, writer);
    if (!opened.Ok())
        return opened;
    return IsSameFile(item, writer.get()) ? ClearBitsThroughHandle(writer.get(), attributes, 0)
                                          : FsResult(kNotWhereListed);
}

// The classic disposition refuses a read-only file. Attributes belong to the file, not to
// one of its names, so they are reset only while this is its one name, and set back when
// the removal still fails.
FsResult MarkClassicResettingReadOnly(HANDLE parent, const std::wstring& name, HANDLE item) {
    FsResult marked = MarkClassic(item);
    FILETIME created, written, accessed;
    DWORD attributes = 0;
    if (marked.Ok() || !ReadStamps(item, created, written, accessed, attributes).Ok() ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return marked;
    unsigned long links = 0;
    if (!ReadLinkCount(item, links).Ok() || links != 1)
        return ERROR_ACCESS_DENIED;
    if (!WriteAttributes(parent, name, item, 0).Ok())
        return marked;
    marked = MarkClassic(item);
    if (!marked.Ok())
        (void)WriteAttributes(parent, name, item, attributes);
    return marked;
}

// After the close: success when the name is gone or names another file now; kInUse when
// it still names the item (someone took the deletion back) or the item waits for another
// holder to close it; else the error of looking.
FsResult ConfirmGone(HANDLE parent, const std::wstring& name, FileId id) {
    FileHandle found;
    const FsResult looked =
        OpenInDirectory(parent, name, FILE_READ_ATTRIBUTES, ItemKind::kEither, found);
    if (looked.Code() == ERROR_FILE_NOT_FOUND)
        return FsResult::Success();
    if (looked.Code() == ERROR_DELETE_PENDING)
        return kInUse;
    if (!looked.Ok())
        return looked;
    FileId now = 0;
    return QueryFileId(found.get(), now).Ok() && IsKnownId(id) && IsKnownId(now) && now != id
               ? FsResult::Success()
               : FsResult(kInUse);
}

} // namespace

FsResult RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item) {
    bool goesAtClose = false;
    FsResult marked = MarkExtended(item.get(), goesAtClose);
    if (marked.Code() == ERROR_NOT_SUPPORTED)
        marked = MarkClassicResettingReadOnly(parent, name, item.get());
    // Read before the close: the identity the name must no longer have.
    FileId id = 0;
    if (marked.Ok() && !goesAtClose && !QueryFileId(item.get(), id).Ok())
        id = 0; // unknown: only a vanished name confirms the removal
    item.reset();
    if (!marked.Ok())
        return marked;
    return goesAtClose ? FsResult::Success() : ConfirmGone(parent, name, id);
}

FsResult ListedFileDeletion::Delete(const std::string& path) {
    if (!rootStatus_.Ok())
        return rootStatus_;
    const size_t cut = LastDelimiter(path);
    if (cut == std::string::npos)
        return ERROR_INVALID_NAME;
    HANDLE directory = nullptr;
    const FsResult reached = tree_.Open(path.substr(0, cut + 1), directory);
    if (!reached.Ok())
        return reached;
    std::wstring name;
    if (!ToExactWide(path.substr(cut + 1), name) || !IsPlainName(name))
        return ERROR_INVALID_NAME;

    // No attribute writes asked for: under Wine they turn the open into a write open, which
    // costs about half a deletion again.
    FileHandle file;
    const FsResult opened =
        OpenInDirectory(directory, name, DELETE | FILE_READ_ATTRIBUTES, ItemKind::kFile, file);
    if (!opened.Ok())
        return opened;
    FILETIME created, written, accessed;
    DWORD attributes = 0;
    const FsResult read = ReadStamps(file.get(), created, written, accessed, attributes);
    if (!read.Ok())
        return read;
    DateTime createdValue = 0, writtenValue = 0;
    if (!AreOldStamps(created, written, cutOff_, createdValue, writtenValue))
        return kChangedSinceListed;
    return RemoveListedItem(directory, name, file);
}
