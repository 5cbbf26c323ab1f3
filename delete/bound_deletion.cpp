#include "delete/bound_deletion.h"

#include "fs/exact_names.h"

#include <unordered_map>

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
    // The read-only bit alone: hidden, system and archive stay the file's.
    if (!WriteAttributes(parent, name, item, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)).Ok())
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

// The extended or the classic disposition, the handle closed. Even where the extended one
// with POSIX semantics was taken, the name still has to be seen gone: a server may accept
// the class and ignore how it was asked for.
FsResult MarkAndClose(HANDLE parent, const std::wstring& name, FileHandle& item,
                      DispositionSupport& support) {
    FsResult marked = MarkExtended(item.get(), support);
    if (marked.Code() == ERROR_NOT_SUPPORTED)
        marked = MarkClassicResettingReadOnly(parent, name, item.get());
    item.reset();
    return marked;
}

} // namespace

FsResult RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item,
                          DispositionSupport& support) {
    FileId id = 0; // stays unknown where it cannot be read: only a vanished name confirms then
    (void)QueryFileId(item.get(), id);
    const FsResult marked = MarkAndClose(parent, name, item, support);
    return marked.Ok() ? ConfirmGone(parent, name, id) : marked;
}

FsResult ListedFileDeletion::OpenDirectory(ListedScan::Index directory, HANDLE& handle) {
    if (directory != stepsOf_) {
        steps_ = scan_.StepsTo(directory);
        stepsOf_ = directory;
    }
    return tree_.Open(steps_, handle);
}

void ListedFileDeletion::Delete(size_t row, bool lastInDirectory) {
    const ListedScan::Index directory = scan_.FileRow(row).directory;
    HANDLE handle = nullptr;
    FsResult outcome = rootStatus_;
    if (outcome.Ok())
        outcome = OpenDirectory(directory, handle);
    if (outcome.Ok())
        outcome = DeleteInDirectory(handle, row);
    if (outcome.Code() != ERROR_IO_PENDING)
        report_(row, outcome);
    if (lastInDirectory)
        Confirm(directory);
}

ChunkedVector<size_t> LastRowsOfDirectories(const ListedScan& scan) {
    ChunkedVector<size_t> last;
    for (size_t i = 0; i < scan.DirectoryCount(); ++i)
        last.push_back(SIZE_MAX);
    for (size_t row = 0; row < scan.FileCount(); ++row)
        last[scan.FileRow(row).directory] = row;
    return last;
}

FsResult ListedFileDeletion::DeleteInDirectory(HANDLE directory, size_t row) {
    const std::wstring name = scan_.ExactName(scan_.FileRow(row).name);
    if (name.empty())
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
    if (!AreOldStamps(created, written, scan_.Root().cutOff, createdValue, writtenValue))
        return kChangedSinceListed;
    // The listed file, not one put under its name since (or, on a share, one the server
    // reached through a junction of its own).
    const ScanRow& listed = scan_.FileRow(row);
    FileId id = 0;
    const FsResult identified = QueryFileId(file.get(), id);
    if (IsKnownId(listed.id) && (!identified.Ok() || id != listed.id))
        return kNotWhereListed;
    const FsResult marked = MarkAndClose(directory, name, file, support_);
    if (!marked.Ok())
        return marked;
    unconfirmed_[listed.directory].push_back({row, id});
    return ERROR_IO_PENDING;
}

// One listing of the directory tells which names are still there with their file; where it
// cannot be listed, each name is looked up on its own.
void ListedFileDeletion::Confirm(ListedScan::Index directory) {
    const auto found = unconfirmed_.find(directory);
    if (found == unconfirmed_.end())
        return;
    std::vector<Unconfirmed> waiting;
    waiting.swap(found->second);
    unconfirmed_.erase(found);
    HANDLE handle = nullptr;
    const FsResult reached = OpenDirectory(directory, handle);
    if (!reached.Ok()) {
        for (const Unconfirmed& item : waiting)
            report_(item.row, reached);
        return;
    }
    std::vector<bool> stays(waiting.size(), false);
    std::unordered_map<FileId, std::vector<size_t>> byId;
    for (size_t i = 0; i < waiting.size(); ++i)
        byId[waiting[i].id].push_back(i);
    const FsResult listed = ForEachEntry(handle, kListBufferBytes, [&](ListedEntry&& entry) {
        const auto same = byId.find(entry.id);
        if (same != byId.end())
            for (size_t i : same->second) {
                const std::wstring name = scan_.ExactName(scan_.FileRow(waiting[i].row).name);
                stays[i] = stays[i] || SameIgnoringCase(entry.name, name) ||
                           SameIgnoringCase(entry.shortName, name);
            }
        return true;
    });
    for (size_t i = 0; i < waiting.size(); ++i) {
        const Unconfirmed& item = waiting[i];
        const FsResult outcome =
            !listed.Ok() || !IsKnownId(item.id)
                ? ConfirmGone(handle, scan_.ExactName(scan_.FileRow(item.row).name), item.id)
            : stays[i] ? FsResult(kInUse)
                       : FsResult::Success();
        report_(item.row, outcome);
    }
}

void ListedFileDeletion::Finish() {
    while (!unconfirmed_.empty())
        Confirm(unconfirmed_.begin()->first); // Confirm erases the key
}
