// The deletion of one listed item, bound to what was listed: reached from the scan's root
// through the listed directories, opened without following a link, removed through its own
// handle, and counted only when its name is gone.
#pragma once
#include <functional>
#include <unordered_map>
#include <string>
#include <vector>

#include "fs/bound_directory.h"
#include "fs/item_removal.h"
#include "list/found_list.h"

// The code of a file written since it was listed.
const DWORD kChangedSinceListed = ERROR_FILE_INVALID;

// Deletes listed files, each through its own handle, only when it lies where it was listed
// below the root and is still old by the cut-off that listed it, and reports each outcome.
// Each file is opened by the exact name the system listed, whatever the list shows for it.
// A file whose identity differs from the listed one is not deleted. A deletion is reported
// only once its name is seen gone (where the system cannot take a name away at the close,
// and where a server ignores how the disposition was asked for): by one listing of its
// directory after the last row of that directory, whatever rows of other directories came
// between (a look per file would cost a third of the job again, and a listing each time
// the rows change directory grows with the square of a directory's size where its files
// and subdirectories interleave), so such a failure is reported after the other rows of
// its directory.
class ListedFileDeletion {
  public:
    using Report = std::function<void(size_t row, FsResult outcome)>;
    // `root` is the scan's root, open and checked by identity; where it is not, every
    // deletion fails with `rootStatus`.
    ListedFileDeletion(FoundList& scan, HANDLE root, FsResult rootStatus, Report report)
        : scan_(scan), tree_(scan, root), rootStatus_(rootStatus), report_(std::move(report)) {}
    ListedFileDeletion(const ListedFileDeletion&) = delete;
    ListedFileDeletion& operator=(const ListedFileDeletion&) = delete;
    ~ListedFileDeletion() = default;

    // The file of row `row`, in `directory` (FileDirectory); `lastInDirectory`: no later row
    // lies in that directory.
    void Delete(size_t row, FoundList::Index directory, bool lastInDirectory);
    // Reports the deletions still waiting for their names to be seen gone.
    void Finish();

  private:
    // ERROR_IO_PENDING when the outcome waits for the name to be seen gone.
    FsResult DeleteInDirectory(HANDLE handle, FoundList::Index directory, size_t row);
    // Lists the directory once and reports its waiting rows.
    void Confirm(FoundList::Index directory);
    void NoteIfNotOld(FoundList::Index directory);

    FoundList& scan_;
    ListedTree tree_;
    DispositionSupport support_;
    FsResult rootStatus_;
    Report report_;
    // In chunks: one directory may wait for half a million names.
    std::unordered_map<FoundList::Index, ChunkedVector<WaitingRemoval>> unconfirmed_;
};

// ConfirmEachGone for the items waiting in `directory`, reached through `tree`; where it
// cannot be reached, each item is reported with that failure.
void ConfirmEachGoneIn(ListedTree& tree, FoundList::Index directory,
                       const ChunkedVector<WaitingRemoval>& waiting,
                       const std::function<std::wstring(size_t item)>& nameOf,
                       const std::function<void(size_t item, FsResult outcome)>& report);

// For each directory of the scan, the last file row in it (SIZE_MAX for none).
ChunkedVector<size_t> LastRowsOfDirectories(const FoundList& scan);
