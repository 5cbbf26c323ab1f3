// The removal of one item through its own handle, where it was listed: the disposition the
// file system has, the read-only reset where only the classic one is left, and the check
// that the name is gone afterwards.
#pragma once
#include <functional>
#include <string>

#include "base/chunked_vector.h"
#include "fs/nt_files.h"

// Removes the file or (empty) directory `name` of `parent`, opened as `item` with delete
// access: the extended disposition with POSIX semantics, which ignores the read-only
// attribute and takes the name away as the handle closes, where the system has it;
// otherwise the classic one, a read-only file being reset only while it has no other name
// (and set back when the removal fails). `item` is closed. Success only when the name no
// longer names that item afterwards, whichever disposition was taken.
// `support` is what the volume answered to the extended disposition so far in this run;
// `id` is the item's identity as read (unknown: only a vanished name confirms).
FsResult RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item,
                          DispositionSupport& support, FileId id);

// The extended or the classic disposition on the open `item` (named `name` in `parent`),
// the handle closed; the name has still to be seen gone (ConfirmGone).
FsResult MarkAndClose(HANDLE parent, const std::wstring& name, FileHandle& item,
                      DispositionSupport& support);

// After the close: success when `name` in `parent` is gone or names another file than `id`
// now; kInUse when it still names the item (someone took the deletion back) or the item
// waits for another holder to close it; else the error of looking.
FsResult ConfirmGone(HANDLE parent, const std::wstring& name, FileId id);

// An item marked and closed whose name has still to be seen gone: `item` is the caller's
// number for it (a row, a directory), `id` its identity as read.
struct WaitingRemoval {
    size_t item;
    FileId id;
};

// ConfirmGone for every item waiting in `parent`, by one listing of it: a look per name
// costs as much as the removal again, and under Wine a name that is gone makes every look
// read the whole directory. `nameOf(item)` is a waiting item's exact name; each outcome
// goes to `report`, in the order they wait. A single item, an item without a known
// identity, and every item where the listing fails, is looked up by its name.
void ConfirmEachGone(HANDLE parent, const ChunkedVector<WaitingRemoval>& waiting,
                     const std::function<std::wstring(size_t item)>& nameOf,
                     const std::function<void(size_t item, FsResult outcome)>& report);
