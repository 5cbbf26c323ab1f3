#include "delete/bound_deletion.h"

#include "fs/exact_names.h"
#include "fs/item_removal.h"

#include <unordered_map>

FsResult ScannedTree::Open(ListedScan::Index directory, HANDLE& handle) {
    scan_.StepsTo(directory, steps_);
    return tree_.Open(steps_, handle);
}

void ListedFileDeletion::Delete(size_t row, bool lastInDirectory) {
    const ListedScan::Index directory = scan_.FileRow(row).directory;
    HANDLE handle = nullptr;
    FsResult outcome = rootStatus_;
    if (outcome.Ok())
        outcome = tree_.Open(directory, handle);
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
    const FsResult reached = tree_.Open(directory, handle);
    if (!reached.Ok()) {
        for (const Unconfirmed& item : waiting)
            report_(item.row, reached);
        return;
    }
    std::vector<bool> stays(waiting.size(), false);
    std::unordered_map<FileId, std::vector<size_t>> byId;
    std::unordered_map<std::wstring, std::vector<size_t>> byName;
    for (size_t i = 0; i < waiting.size(); ++i) {
        byId[waiting[i].id].push_back(i);
        byName[UpperCase(scan_.ExactName(scan_.FileRow(waiting[i].row).name))].push_back(i);
    }
    // An entry with its identity stands for a waiting file of that identity and name; one
    // without (a listing class that carries none) for the waiting file of its name.
    const auto sameName = [&](const ListedEntry& entry, size_t i) {
        const std::wstring name = scan_.ExactName(scan_.FileRow(waiting[i].row).name);
        return SameIgnoringCase(entry.name, name) || SameIgnoringCase(entry.shortName, name);
    };
    const FsResult listed = ForEachEntry(handle, kListBufferBytes, [&](ListedEntry&& entry) {
        if (!IsKnownId(entry.id)) {
            for (const std::wstring& name : {entry.name, entry.shortName}) {
                const auto named = byName.find(UpperCase(name));
                if (!name.empty() && named != byName.end())
                    for (size_t i : named->second)
                        stays[i] = true;
            }
            return true;
        }
        const auto same = byId.find(entry.id);
        if (same != byId.end())
            for (size_t i : same->second)
                stays[i] = stays[i] || sameName(entry, i);
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
