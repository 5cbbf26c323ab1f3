#include "delete/bound_deletion.h"

#include "fs/exact_names.h"
#include "fs/item_removal.h"

#include <algorithm>
#include <unordered_map>

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

// One listing of the directory tells which names are still there with their file; where it
// cannot be listed, each name is looked up on its own.
void ListedFileDeletion::Confirm(FoundList::Index directory) {
    const auto found = unconfirmed_.find(directory);
    if (found == unconfirmed_.end())
        return;
    const ChunkedVector<Unconfirmed> waiting = std::move(found->second);
    unconfirmed_.erase(found);
    HANDLE handle = nullptr;
    const FsResult reached = tree_.Open(directory, handle);
    if (!reached.Ok()) {
        for (size_t i = 0; i < waiting.size(); ++i)
            report_(waiting[i].row, reached);
        return;
    }
    // The waiting files by identity, sorted, so that an entry finds its own by a search: a
    // few bytes a file, where a directory of a million holds half a million of them. By name
    // only once an entry comes without an identity (a listing class that carries none).
    struct IdAt {
        FileId id;
        size_t at; // in `waiting`
    };
    const auto byIdOrder = [](const IdAt& a, const IdAt& b) { return a.id < b.id; };
    ChunkedVector<IdAt> byId;
    ChunkedVector<uint8_t> stays;
    for (size_t i = 0; i < waiting.size(); ++i) {
        byId.push_back({waiting[i].id, i});
        stays.push_back(0);
    }
    std::sort(byId.begin(), byId.end(), byIdOrder);
    std::unordered_map<std::wstring, std::vector<size_t>> byName;
    bool named = false;
    const auto nameThem = [&] {
        for (size_t i = 0; i < waiting.size(); ++i)
            byName[UpperCase(scan_.ExactName(scan_.FileName(waiting[i].row)))].push_back(i);
        named = true;
    };
    // An entry with its identity stands for a waiting file of that identity and name; one
    // without (a listing class that carries none) for the waiting file of its name.
    const auto sameName = [&](const ListedEntry& entry, size_t i) {
        const std::wstring name = scan_.ExactName(scan_.FileName(waiting[i].row));
        return SameIgnoringCase(entry.name, name) || SameIgnoringCase(entry.shortName, name);
    };
    const FsResult listed = ForEachEntry(handle, kListBufferBytes, [&](ListedEntry&& entry) {
        if (!IsKnownId(entry.id)) {
            if (!named)
                nameThem();
            for (const std::wstring& name : {entry.name, entry.shortName}) {
                const auto named = byName.find(UpperCase(name));
                if (!name.empty() && named != byName.end())
                    for (size_t i : named->second)
                        stays[i] = true;
            }
            return true;
        }
        const auto same = std::equal_range(byId.begin(), byId.end(), IdAt{entry.id, 0}, byIdOrder);
        for (auto at = same.first; at != same.second; ++at)
            stays[at->at] = stays[at->at] || sameName(entry, at->at);
        return true;
    });
    for (size_t i = 0; i < waiting.size(); ++i) {
        const Unconfirmed& item = waiting[i];
        const FsResult outcome =
            !listed.Ok() || !IsKnownId(item.id)
                ? ConfirmGone(handle, scan_.ExactName(scan_.FileName(item.row)), item.id)
            : stays[i] ? FsResult(kInUse, FsStep::Check)
                       : FsResult::Success();
        report_(item.row, outcome);
    }
}

void ListedFileDeletion::Finish() {
    while (!unconfirmed_.empty())
        Confirm(unconfirmed_.begin()->first); // Confirm erases the key
}
