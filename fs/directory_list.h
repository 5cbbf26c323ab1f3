// The subdirectories a scan listed below its root, with their level (the number of
// backslashes in the full path) and identity, kept in ascending level: what the removal of
// empty directories visits, deepest first, with no second walk of the tree.
#pragma once
#include <string>
#include <vector>

#include "fs/nt_files.h"

// A listed directory: its path as the walk wrote it and its identity then.
struct ListedDirectory {
    std::string path;
    FileId id = 0;
};

class DirectoryList {
  public:
    void Clear() { byLevel_.clear(); }
    void Add(int level, const std::string& directory, FileId id = 0);
    // Visits every row from the deepest level up.
    template <typename Visit> void VisitDeepestFirst(Visit visit) const {
        for (size_t level = byLevel_.size(); level-- > 0;)
            for (size_t i = byLevel_[level].size(); i-- > 0;)
                visit(byLevel_[level][i]);
    }
    size_t Count() const;
    // Rows in list order (ascending level) as "level<TAB>directory", for tests and checks.
    std::vector<std::string> Rows() const;

  private:
    std::vector<std::vector<ListedDirectory>> byLevel_;
};

// Non-overlapping occurrences of `sub` in `text`, by characters of the code page (a
// double-byte character's trail byte never matches); 0 for an empty sub-text.
int CountSubstring(const std::string& text, const std::string& sub);
