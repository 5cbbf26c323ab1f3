#include "delete/bound_deletion.h"

#include "fs/exact_names.h"
#include "fs/path_text.h"

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

// The extended or the classic disposition, the handle closed; `confirm` tells whether the
// name still has to be seen gone, `id` is the identity it must no longer have.
FsResult MarkAndClose(HANDLE parent, const std::wstring& name, FileHandle& item,
                      DispositionSupport& support, bool& confirm, FileId& id) {
    bool goesAtClose = false;
    FsResult marked = MarkExtended(item.get(), support, goesAtClose);
    if (marked.Code() == ERROR_NOT_SUPPORTED)
        marked = MarkClassicResettingReadOnly(parent, name, item.get());
    id = 0; // stays unknown where it cannot be read: only a vanished name confirms then
    if (marked.Ok() && !goesAtClose)
        (void)QueryFileId(item.get(), id);
    item.reset();
    confirm = marked.Ok() && !goesAtClose;
    return marked;
}

} // namespace

FsResult RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item,
                          DispositionSupport& support) {
    bool confirm = false;
    FileId id = 0;
    const FsResult marked = MarkAndClose(parent, name, item, support, confirm, id);
    return confirm ? ConfirmGone(parent, name, id) : marked;
}

void ListedFileDeletion::Delete(const std::string& path, bool lastInDirectory) {
    const size_t cut = LastDelimiter(path);
    const std::string prefix = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    HANDLE directory = nullptr;
    FsResult outcome = rootStatus_;
    if (outcome.Ok())
        outcome =
            cut == std::string::npos ? FsResult(ERROR_INVALID_NAME) : tree_.Open(prefix, directory);
    if (outcome.Ok())
        outcome = DeleteInDirectory(directory, prefix, path.substr(cut + 1));
    if (outcome.Code() != ERROR_IO_PENDING)
        report_(path, outcome);
    if (lastInDirectory)
        Confirm(prefix);
}

std::vector<bool> LastRowsOfDirectories(size_t count,
                                        const std::function<const char*(size_t)>& path) {
    std::vector<bool> last(count, false);
    std::map<std::string, size_t> lastRow;
    for (size_t i = 0; i < count; ++i) {
        const std::string text = path(i);
        const size_t cut = LastDelimiter(text);
        lastRow[cut == std::string::npos ? std::string() : text.substr(0, cut + 1)] = i;
    }
    for (const auto& directory : lastRow)
        last[directory.second] = true;
    return last;
}

// ERROR_IO_PENDING when the outcome waits for the name to be seen gone.
FsResult ListedFileDeletion::DeleteInDirectory(HANDLE directory, const std::string& prefix,
                                               const std::string& fileName) {
    std::wstring name;
    if (!ToExactWide(fileName, name) || !IsPlainName(name))
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
    bool confirm = false;
    FileId id = 0;
    const FsResult marked = MarkAndClose(directory, name, file, support_, confirm, id);
    if (!confirm)
        return marked;
    unconfirmed_[prefix].push_back({prefix + fileName, std::move(name), id});
    return ERROR_IO_PENDING;
}

// One listing of the directory tells which names are still there with their file; where it
// cannot be listed, each name is looked up on its own.
void ListedFileDeletion::Confirm(const std::string& prefix) {
    const auto found = unconfirmed_.find(prefix);
    if (found == unconfirmed_.end())
        return;
    std::vector<Unconfirmed> waiting;
    waiting.swap(found->second);
    unconfirmed_.erase(found);
    HANDLE directory = nullptr;
    const FsResult reached = tree_.Open(prefix, directory);
    if (!reached.Ok()) {
        for (const Unconfirmed& item : waiting)
            report_(item.path, reached);
        return;
    }
    std::vector<bool> stays(waiting.size(), false);
    std::unordered_map<FileId, std::vector<size_t>> byId;
    for (size_t i = 0; i < waiting.size(); ++i)
        byId[waiting[i].id].push_back(i);
    const FsResult listed = ForEachEntry(directory, kListBufferBytes, [&](ListedEntry&& entry) {
        const auto same = byId.find(entry.id);
        if (same != byId.end())
            for (size_t i : same->second)
                stays[i] = stays[i] || SameIgnoringCase(entry.name, waiting[i].name) ||
                           SameIgnoringCase(entry.shortName, waiting[i].name);
        return true;
    });
    for (size_t i = 0; i < waiting.size(); ++i) {
        const Unconfirmed& item = waiting[i];
        const FsResult outcome = !listed.Ok() || !IsKnownId(item.id)
                                     ? ConfirmGone(directory, item.name, item.id)
                                 : stays[i] ? FsResult(kInUse)
                                            : FsResult::Success();
        report_(item.path, outcome);
    }
}

void ListedFileDeletion::Finish() {
    while (!unconfirmed_.empty()) {
        const std::string prefix = unconfirmed_.begin()->first; // Confirm erases the key
        Confirm(prefix);
    }
}
