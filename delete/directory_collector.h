// The directory collector: every directory below the current one, with its level (the
// number of backslashes in its full path), kept in ascending level.
#pragma once
#include <string>
#include <vector>

#include "fs/bound_directory.h"
#include "app/command_host.h"

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

// Lists the tree of the open directory `here`, whose rows begin with `prefix`, into `list`,
// through handles the walk has checked to be the listed directories below the root
// `rootFinal`; a directory that cannot be entered is logged with its reason and passed over.
// Ends by the silent abort after the "RESOURCE ERROR: Too many directories." dialog.
void CollectDirectories(CommandHost& host, const BoundDirectory& here, const std::string& prefix,
                        const std::wstring& rootFinal, DirectoryList& list);
