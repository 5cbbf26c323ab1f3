#include "delete/bound_deletion.h"

#include "fs/exact_names.h"
#include "fs/item_removal.h"

void ListedFileDeletion::Delete(size_t row, FoundList::Index directory, bool lastInDirectory) {
    HANDLE handle = nullptr;
    FsResult outcome = rootStatus_;
    if (outcome.Ok())
        outcome = tree_.Open(directory, handle);
    if (outcome.Ok())
        outcome = DeleteInDirectory(handle, directory, row);
    if (outcome.Code() != ERROR_IO_PENDING)
        report_(row, outcome);
    if (lastInDirectory)
        Confirm(directory);
}

ChunkedVector<size_t> LastRowsOfDirectories(const FoundList& scan) {
    ChunkedVector<size_t> last;
    for (size_t i = 0; i < scan.DirectoryCount(); ++i)
        last.push_back(SIZE_MAX);
    for (size_t row = 0; row < scan.FileCount(); ++row)
        last[scan.FileDirectory(row)] = row;
    return last;
}

FsResult ListedFileDeletion::DeleteInDirectory(HANDLE handle, FoundList::Index directory,
                                               size_t row) {
    const std::wstring name = scan_.ExactName(scan_.FileName(row));
    if (name.empty())
        return FsResult(ERROR_INVALID_NAME, FsStep::Name);
    // No attribute writes asked for: under Wine they turn the open into a write open, which
    // costs about half a deletion again.
    FileHandle file;
    const FsResult opened =
        OpenInDirectory(handle, name, DELETE | FILE_READ_ATTRIBUTES, ItemKind::kFile, file);
    if (!opened.Ok())
        return opened;
    FILETIME created, written, accessed;
    DWORD attributes = 0;
    const FsResult read = ReadStamps(file.get(), created, written, accessed, attributes);
    if (!read.Ok())
        return read;
    DateTime createdValue = 0, writtenValue = 0;
    if (!AreOldStamps(created, written, scan_.Root().cutOff, createdValue, writtenValue))
        return FsResult(kChangedSinceListed, FsStep::Check);
    // The listed file, not one put under its name since (or, on a share, one the server
    // reached through a junction of its own).
    const FileId listed = scan_.FileIdOf(row);
    FileId id = 0;
    const FsResult identified = QueryFileId(file.get(), id);
    if (IsKnownId(listed) && (!identified.Ok() || id != listed))
        return FsResult(kNotWhereListed, FsStep::Check);
    const FsResult marked = MarkAndClose(handle, name, file, support_);
    if (!marked.Ok())
        return marked;
    unconfirmed_[directory].push_back({row, id});
    return FsResult(ERROR_IO_PENDING, FsStep::None);
}

// One listing of the directory tells which of its waiting names are gone.
void ListedFileDeletion::Confirm(FoundList::Index directory) {
    const auto found = unconfirmed_.find(directory);
    if (found == unconfirmed_.end())
        return;
    const ChunkedVector<WaitingRemoval> waiting = std::move(found->second);
    unconfirmed_.erase(found);
    ConfirmEachGoneIn(
        tree_, directory, waiting,
        [this](size_t row) { return scan_.ExactName(scan_.FileName(row)); }, report_);
    NoteIfNotOld(directory);
}

// A directory is new once a deletion in it is done, on most file systems: one query through
// the handle already open spares the removal its own open, checks and query.
void ListedFileDeletion::NoteIfNotOld(FoundList::Index directory) {
    if (scan_.Directory(directory).seenNotOld)
        return; // its listing already showed it new
    HANDLE handle = nullptr;
    FILETIME created, written, accessed;
    DWORD attributes = 0;
    if (tree_.Open(directory, handle).Ok() &&
        ReadStamps(handle, created, written, accessed, attributes).Ok() &&
        !AreOldDirectoryStamps(created, written, scan_.Root().cutOff))
        scan_.MarkSeenNotOld(directory);
}

void ConfirmEachGoneIn(ListedTree& tree, FoundList::Index directory,
                       const ChunkedVector<WaitingRemoval>& waiting,
                       const std::function<std::wstring(size_t item)>& nameOf,
                       const std::function<void(size_t item, FsResult outcome)>& report) {
    HANDLE handle = nullptr;
    const FsResult reached = tree.Open(directory, handle);
    if (!reached.Ok()) {
        for (size_t i = 0; i < waiting.size(); ++i)
            report(waiting[i].item, reached);
        return;
    }
    ConfirmEachGone(handle, waiting, nameOf, report);
}

void ListedFileDeletion::Finish() {
    while (!unconfirmed_.empty())
        Confirm(unconfirmed_.begin()->first); // Confirm erases the key
}
