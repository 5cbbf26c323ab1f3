// What one scan listed, as one compact value: its root, its cut-off, a table of the
// directories it listed (parent, name, identity) and its old files (name, identity, three
// date-times; their directories kept once for each run of rows in one) in the list's order,
// every name in one pool of text. No row has a heap block,
// a path or a sort key of its own, and no allocation exceeds 2 MiB, so ten million rows
// fit a 32-bit process. The texts the list, the CSV file and the log show are made when
// asked; Delete Files and the removal of empty directories take the rows and the table.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fs/bound_directory.h"
#include "base/chunked_vector.h"
#include "base/date_time.h"
#include "list/sort_key.h"
#include "list/text_pool.h"

// Where a scan listed: the root as made full (what Delete Files opens again), the text its
// rows begin with and its final path when the scan started, its identity, the cut-off.
struct ScanRoot {
    std::string path;
    std::string prefix;
    std::wstring finalPath;
    FileId id = 0;
    DateTime scanStart = 0;
    DateTime cutOff = 0;
};

// A listed file: its directory in the table, its name in the pool, its identity, its
// date-times.
struct ScanRow {
    uint32_t directory;
    TextPool::Offset name;
    FileId id;
    DateTime created, modified, accessed;
};

// A listed directory: its parent (the root is its own), name, identity and level below
// the root (1 for a child of the root).
struct ScanDirectory {
    uint32_t parent;
    TextPool::Offset name;
    FileId id;
    uint32_t level;
    // Its own times were seen after the cut-off in this run, by its parent's listing or once
    // the deletion in it was done. The cut-off is the scan's and times only grow, so it is not
    // old at the removal either, which need not open it.
    uint32_t seenNotOld;
};

// A listed file as the list keeps it: its directory is kept once for each run of rows in one
// directory (DirectoryRun), not in every row, and the row is packed to 4-byte alignment.
#pragma pack(push, 4)
struct StoredRow {
    TextPool::Offset name;
    FileId id;
    DateTime created, modified, accessed;
};
#pragma pack(pop)
// The rows from `first` on, up to the next run's first, are all in `directory`.
struct DirectoryRun {
    uint32_t first;
    uint32_t directory;
};

// The 32-bit layout the memory budget rests on.
static_assert(sizeof(StoredRow) == 36, "a listed file takes 36 bytes beside its name");
static_assert(sizeof(ScanDirectory) == 24, "a listed directory takes 24 bytes beside its name");

// A column of the list, as the list view and the CSV file both show it: its caption (the
// file's header too), its width at 96 dots per inch, and whether its text stands right.
struct FoundColumn {
    const char* caption;
    int width;
    bool alignRight;
};

class FoundList : public ListedWays {
  public:
    using Index = uint32_t;
    static const Index kRoot = 0;
    // The columns in order; Text gives a row's text in each.
    enum Column { File = 0, Created = 1, Modified = 2, Accessed = 3, Age = 4 };
    static constexpr int kColumnCount = 5;
    static const FoundColumn kColumns[kColumnCount];

    // Empties the value and makes the root directory 0.
    void Start(const ScanRoot& root);
    void Clear();
    const ScanRoot& Root() const { return root_; }
    // Whether `root`, opened again, is the root listed, not another directory that took its
    // name since: why it could not be opened, or kNotWhereListed.
    FsResult IsScannedRoot(const BoundDirectory& root) const;

    // Names: the text shown (the list's rule) and the exact name the system listed, kept
    // only where the shown one does not convert back to it.
    TextPool::Offset AddName(const std::string& shown, const std::wstring& exact);
    const char* ShownName(TextPool::Offset name) const { return names_.At(name); }
    std::wstring ExactName(TextPool::Offset name) const;

    Index AddDirectory(Index parent, TextPool::Offset name, FileId id, bool seenNotOld = false);
    void MarkSeenNotOld(Index directory) { directories_[directory].seenNotOld = 1; }
    // Gives a directory listed without an identity the one it was opened as.
    void LearnIdentity(Index directory, FileId id) {
        if (!IsKnownId(directories_[directory].id))
            directories_[directory].id = id;
    }
    size_t DirectoryCount() const { return directories_.size(); }
    const ScanDirectory& Directory(Index directory) const { return directories_[directory]; }
    // The text the rows of `directory` begin with (ending with a backslash).
    std::string DirectoryText(Index directory) const;
    // Makes `steps` the directories from below the root down to `directory`, for a bound
    // open. The steps it already shares with that way are kept: a walk up from a directory
    // stops where it meets them, so neighbours and each parent after its child cost what
    // differs, and a chain of any depth is not named again at every level.
    void StepsTo(Index directory, std::vector<ListedStep>& steps) const override;

    // Files, in the list's order: appended in order, a tail reordered by SortFilesFrom.
    void AppendFile(const ScanRow& row);
    size_t FileCount() const { return files_.size(); }
    ScanRow FileRow(size_t row) const;
    // The directory of file row `row`.
    Index FileDirectory(size_t row) const;
    TextPool::Offset FileName(size_t row) const { return files_[row].name; }
    FileId FileIdOf(size_t row) const { return files_[row].id; }
    std::string FileText(size_t row) const;
    // Sorts the files from `first` on by their whole File text.
    void SortFilesFrom(size_t first, SortKey key);
    // Sorts the files from `first` on, all of one directory, by their names.
    void SortDirectoryFilesFrom(size_t first, SortKey key);
    // Takes the files from `first` on off the list.
    void TruncateFiles(size_t first);
    // Files from `limit` on are not shown yet (their order is still to be settled).
    void HoldFilesFrom(size_t limit) { heldFrom_ = limit; }
    size_t HeldFrom() const { return heldFrom_; }

    // A directory row of the empty-directory removal. It waits, unseen, until
    // PlaceDirectoryRows puts the rows of the phase at their places in the order.
    void AddDirectoryRow(Index directory, DateTime created, DateTime modified, DateTime accessed);
    // Puts the waiting directory rows at their places among the file rows (after every file
    // row that does not sort after it, and after the directory rows there). A key is made
    // once for each directory row and, found by galloping from the place before, for a few
    // file rows each: time linear in the rows, never in the square of their number.
    void PlaceDirectoryRows(SortKey key);

    // The rows the list shows: the files, and the directory rows at their places.
    size_t Count() const;
    void Text(size_t row, int column, const RegionalFormats& formats, std::string& text) const;
    std::string Text(size_t row, int column, const RegionalFormats& formats) const;

  private:
    // Small chunks, so that a large directory's merge, which frees a chunk once all its rows
    // are taken, holds little beside the rows while it runs.
    using RowVector = ChunkedVector<StoredRow, 32 * 1024>;
    struct DirectoryRow {
        size_t before; // file rows ahead of it
        Index directory;
        DateTime created, modified, accessed;
    };
    void AppendDirectoryText(Index directory, std::string& text) const;
    // Puts the files from `first` on in `order` (positions from `first`), in place.
    void ApplyOrder(size_t first, ChunkedVector<uint32_t>& order);
    // The run of `directory` continues at file row `row`, or a new one begins there.
    void ContinueRun(size_t row, Index directory);
    // Takes the runs that begin at `row` or after it.
    void DropRunsFrom(size_t row);
    // The first file row from `from` on whose key sorts after `k`; none before `from` does.
    size_t FirstFileAfter(const char* k, size_t from, SortKey key) const;
    // The file row or directory row shown at `row`; `directoryRow` null for a file.
    size_t Locate(size_t row, const DirectoryRow*& directoryRow) const;

    ScanRoot root_;
    TextPool names_;
    ChunkedVector<ScanDirectory> directories_;
    RowVector files_;
    ChunkedVector<DirectoryRun> runs_;          // in row order, one for each change of directory
    ChunkedVector<DirectoryRow> directoryRows_; // placed, in the list's order
    ChunkedVector<DirectoryRow> waitingRows_;   // added since the last placing
    size_t heldFrom_ = SIZE_MAX;
    mutable std::vector<Index> chain_; // the way up from a directory, reused by each text
};
