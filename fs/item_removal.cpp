#include "fs/item_removal.h"

#include "fs/exact_names.h"

#include <algorithm>
#include <functional>

namespace {

// Writes the attributes through `item` or, where that handle may not (Windows asks for
// attribute writes), through a second handle to the same file.
FsResult WriteAttributes(HANDLE parent, const std::wstring& name, HANDLE item, DWORD attributes) {
    if (WriteAttributesThroughHandle(item, attributes).Ok())
        return FsResult::Success();
    FileHandle writer;
    const FsResult opened = OpenInDirectory(
        parent, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, ItemKind::kEither, writer);
    if (!opened.Ok())
        return opened;
    return IsSameFile(item, writer.get()) ? WriteAttributesThroughHandle(writer.get(), attributes)
                                          : FsResult(kNotWhereListed, FsStep::Check);
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
        return FsResult(ERROR_ACCESS_DENIED, FsStep::Check);
    // The read-only bit alone: hidden, system and archive stay the file's.
    if (!WriteAttributes(parent, name, item, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)).Ok())
        return marked;
    marked = MarkClassic(item);
    if (!marked.Ok())
        (void)WriteAttributes(parent, name, item, attributes);
    return marked;
}

} // namespace

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
        return FsResult(kInUse, FsStep::Check);
    if (!looked.Ok())
        return looked;
    FileId now = 0;
    return QueryFileId(found.get(), now).Ok() && IsKnownId(id) && IsKnownId(now) && now != id
               ? FsResult::Success()
               : FsResult(kInUse, FsStep::Check);
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

FsResult RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item,
                          DispositionSupport& support, FileId id) {
    const FsResult marked = MarkAndClose(parent, name, item, support);
    return marked.Ok() ? ConfirmGone(parent, name, id) : marked;
}

void ConfirmEachGone(HANDLE parent, const ChunkedVector<WaitingRemoval>& waiting,
                     const std::function<std::wstring(size_t item)>& nameOf,
                     const std::function<void(size_t item, FsResult outcome)>& report) {
    // One name is looked up on its own: a listing reads every entry the directory has left.
    if (waiting.size() == 1) {
        report(waiting[0].item, ConfirmGone(parent, nameOf(waiting[0].item), waiting[0].id));
        return;
    }
    // The waiting items by identity, sorted, so that an entry finds its own by a search: a
    // few bytes an item, where a directory of a million holds half a million of them. By
    // name only once an entry comes without an identity (a listing class that carries none),
    // then sorted by the hash of the upper-case name, in chunks as well.
    struct KeyAt {
        uint64_t key; // an identity, or the hash of a name
        size_t at;    // in `waiting`
    };
    const auto byKey = [](const KeyAt& a, const KeyAt& b) { return a.key < b.key; };
    const auto nameKey = [](const std::wstring& name) {
        return static_cast<uint64_t>(std::hash<std::wstring>()(UpperCase(name)));
    };
    ChunkedVector<KeyAt> byId, byName;
    ChunkedVector<uint8_t> stays;
    for (size_t i = 0; i < waiting.size(); ++i) {
        byId.push_back({waiting[i].id, i});
        stays.push_back(0);
    }
    std::sort(byId.begin(), byId.end(), byKey);
    bool named = false;
    const auto nameThem = [&] {
        for (size_t i = 0; i < waiting.size(); ++i)
            byName.push_back({nameKey(nameOf(waiting[i].item)), i});
        std::sort(byName.begin(), byName.end(), byKey);
        named = true;
    };
    const auto sameName = [&](const std::wstring& listed, size_t i) {
        return !listed.empty() && SameIgnoringCase(listed, nameOf(waiting[i].item));
    };
    // An entry with its identity stands for a waiting item of that identity and name; one
    // without (a listing class that carries none) for the waiting item of its name.
    const FsResult listed = ForEachEntry(parent, kListBufferBytes, [&](ListedEntry&& entry) {
        if (!IsKnownId(entry.id)) {
            if (!named)
                nameThem();
            for (const std::wstring& name : {entry.name, entry.shortName}) {
                if (name.empty())
                    continue;
                const auto same =
                    std::equal_range(byName.begin(), byName.end(), KeyAt{nameKey(name), 0}, byKey);
                for (auto at = same.first; at != same.second; ++at)
                    stays[at->at] = stays[at->at] || sameName(name, at->at);
            }
            return true;
        }
        const auto same = std::equal_range(byId.begin(), byId.end(), KeyAt{entry.id, 0}, byKey);
        for (auto at = same.first; at != same.second; ++at)
            stays[at->at] =
                stays[at->at] || sameName(entry.name, at->at) || sameName(entry.shortName, at->at);
        return true;
    });
    for (size_t i = 0; i < waiting.size(); ++i) {
        const WaitingRemoval& item = waiting[i];
        const FsResult outcome = !listed.Ok() || !IsKnownId(item.id)
                                     ? ConfirmGone(parent, nameOf(item.item), item.id)
                                 : stays[i] ? FsResult(kInUse, FsStep::Check)
                                            : FsResult::Success();
        report(item.item, outcome);
    }
}
