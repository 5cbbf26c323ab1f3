// Puts a scan's rows in the list's final order as the walk goes, so that no row is ever
// moved or sorted as a whole. Within one directory the order of the full paths is the order
// of the names, a subdirectory's rows standing together where its name followed by a
// backslash sorts among the file names. So each directory's old files wait while it is
// listed, are sorted with the subdirectories to enter, and go to the scan one by one
// between those subdirectories, which the walk enters in that order. Only sibling
// directories whose names differ in low weights alone (case, hyphens, accents) have rows
// that interleave: their rows are sorted by the whole path once the last of them is done,
// and are not shown until then.
#pragma once
#include <deque>

#include "list/found_list.h"

class ScanBuilder {
  public:
    // `scan` has been started.
    ScanBuilder(FoundList& scan, const ListOrder& order) : scan_(scan), order_(order) {}
    // A scan that ended early (a stop, a resource error) leaves no rows it never showed:
    // rows whose order was not settled are taken off the list, so nothing unseen is deleted.
    ~ScanBuilder();
    ScanBuilder(const ScanBuilder&) = delete;
    ScanBuilder& operator=(const ScanBuilder&) = delete;

    // A directory's listing starts: the root first, then the subdirectory of the last
    // Entering, opened as `id` (kept where its listing gave no identity).
    void BeginDirectory(FileId id = 0);
    void AddFile(const std::string& shown, const std::wstring& exact, FileId id, DateTime created,
                 DateTime modified, DateTime accessed);
    // A listed subdirectory (a row of the table); `entered` when the walk is to enter it,
    // `seenNotOld` when its listed times are after the cut-off.
    void AddSubdirectory(const std::string& shown, const std::wstring& exact, FileId id,
                         bool entered, bool seenNotOld = false);
    // The listing ended: the subdirectories added as entered are put in the order in which
    // to enter them. Returns how many there are.
    size_t EndListing();
    // Before the subdirectory at `position` of that order is entered or passed over: which
    // of them (by the order they were added) it is.
    size_t Entering(size_t position);
    // The directory and everything below it are done.
    void EndDirectory();

  private:
    static const uint32_t kSubdirectory = 0x80000000u;
    static const size_t kKeptElements = 1024; // a level's chunks kept between directories
    struct Level {
        FoundList::Index directory = FoundList::kRoot;
        ChunkedVector<ScanRow> files;            // old files, as listed
        ChunkedVector<FoundList::Index> entered; // subdirectories to enter, as listed
        ChunkedVector<uint32_t> order;           // files and kSubdirectory | entered
        ChunkedVector<uint32_t> enteringOrder;   // entered, by position
        ChunkedVector<uint8_t> joinsPrevious;    // by position: interleaves with the one before
        size_t next = 0;                         // the next item of `order`
        size_t groupStart = SIZE_MAX;            // first file row of an open group
        size_t firstFile = 0;                    // its first file row while it is listed
        bool holds = false;                      // whether its listing holds the list
        // Empties it for the next directory at its depth; what one large directory
        // needed is not kept for the rest of the scan.
        void Empty() {
            files.trim(kKeptElements);
            entered.trim(kKeptElements);
            order.trim(kKeptElements);
            enteringOrder.trim(kKeptElements);
            joinsPrevious.trim(kKeptElements);
        }
    };
    const char* Shown(uint32_t item, const Level& level) const;
    // Sends the files up to `item` to the scan and passes `item`.
    void EmitUntil(Level& level, uint32_t item);
    void OpenGroup(Level& level);
    void CloseGroup(Level& level);

    FoundList& scan_;
    ListOrder order_;
    // The first `depth_` are in use; the others keep their first chunks for the next
    // directory at that depth. A deque: a chain of any depth never asks for one large block.
    std::deque<Level> levels_;
    size_t depth_ = 0;
    FoundList::Index entering_ = FoundList::kRoot;
    int openGroups_ = 0;
};
