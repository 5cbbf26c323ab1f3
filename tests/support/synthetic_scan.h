// A scan filled through the same insertion path as a walk, from paths instead of files: for
// the order and text tests, the window tests and the benchmark.
#pragma once
#include <string>
#include <vector>

#include "list/found_list.h"

struct SyntheticFile {
    std::string path; // below the root, "\" between names
    DateTime created = 0, modified = 0, accessed = 0;
};

// Starts `scan` at `root` and gives it the files as a walk would: each directory listed in
// the order its names first appear, its files before its subdirectories. Directories get
// identities 1, 2, ... in that order.
void FillScan(FoundList& scan, const ScanRoot& root, const std::vector<SyntheticFile>& files,
              const ListOrder& order);

// Starts `scan` at `root` and gives it `rows` files as a data drive holds them: about 100 a
// directory, ten subdirectories each, names of about 20 characters; or, `flat`, all of them
// in the root. Returns the bytes of the shown names with their NULs.
size_t FillGenerated(FoundList& scan, const ScanRoot& root, size_t rows, const ListOrder& order,
                     bool flat = false);

// What the list held before it was one value: every whole path (`prefix` and the file's)
// sorted by `order`'s key, ties in the walk's order (a directory's files, then each of its
// subdirectories in turn).
std::vector<std::string> SortedWhole(const std::string& prefix,
                                     const std::vector<SyntheticFile>& files,
                                     const ListOrder& order);

// The File texts of the rows the scan shows.
std::vector<std::string> FileTexts(const FoundList& scan);
