// The deletion of one listed item, bound to what was listed: reached from the scan's root
// through the listed directories, opened without following a link, removed through its own
// handle, and counted only when its name is gone.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fs/bound_directory.h"
#include "scan/date_time.h"

// The code of a file written since it was listed.
const DWORD kChangedSinceListed = ERROR_FILE_INVALID;

// Removes the file or (empty) directory `name` of `parent`, opened as `item` with delete
// access: the extended disposition with POSIX semantics, which ignores the read-only
// attribute and takes the name away as the handle closes, where the system has it;
// otherwise the classic one, a read-only file being reset only while it has no other name
// (and set back when the removal fails). `item` is closed. Success only when the name no
// longer names that item afterwards.
// `support` is what the volume answered to the extended disposition so far in this run.
FsResult RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item,
                          DispositionSupport& support);

// Deletes listed files, each through its own handle, only when it lies where it was listed
// below the root and is still old by the cut-off that listed it, and reports each outcome.
// Where the system cannot take a name away at the close, a deletion is reported only once
// its name is seen gone: by one listing of its directory after the last row of that
// directory, whatever rows of other directories came between (a look per file would cost
// a third of the job again, and a listing each time the rows change directory grows with
// the square of a directory's size where its files and subdirectories interleave), so such
// a failure is reported after the other rows of its directory.
class ListedFileDeletion {
  public:
    using Report = std::function<void(const std::string& path, FsResult outcome)>;
    // `root` is the scan's root, open and checked by identity; where it is not, every
    // deletion fails with `rootStatus`.
    ListedFileDeletion(const ListedDirectories& directories, HANDLE root,
                       const std::string& rootPrefix, FsResult rootStatus, DateTime cutOff,
                       Report report)
        : tree_(directories, root, rootPrefix), rootStatus_(rootStatus), cutOff_(cutOff),
          report_(std::move(report)) {}
    ListedFileDeletion(const ListedFileDeletion&) = delete;
    ListedFileDeletion& operator=(const ListedFileDeletion&) = delete;
    ~ListedFileDeletion() = default;

    // `lastInDirectory`: no later row lies in the same directory.
    void Delete(const std::string& path, bool lastInDirectory);
    // Reports the deletions still waiting for their names to be seen gone.
    void Finish();

  private:
    struct Unconfirmed {
        std::string path;
        std::wstring name;
        FileId id;
    };
    // `fileName` in the open `directory`, whose rows begin with `prefix`.
    FsResult DeleteInDirectory(HANDLE directory, const std::string& prefix,
                               const std::string& fileName);

    // Lists the directory whose rows begin with `prefix` once and reports its waiting rows.
    void Confirm(const std::string& prefix);

    ListedTree tree_;
    DispositionSupport support_;
    FsResult rootStatus_;
    DateTime cutOff_;
    Report report_;
    std::map<std::string, std::vector<Unconfirmed>> unconfirmed_; // by directory prefix
};

// For each row of `paths`, whether it is the last row of its directory.
std::vector<bool> LastRowsOfDirectories(size_t count,
                                        const std::function<const char*(size_t)>& path);
