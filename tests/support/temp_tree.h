// Real directory trees in the temporary folder, with ages and attributes set per entry.
#pragma once
#include <string>
#include <vector>

#include <windows.h>

class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root's full path without a trailing backslash.
    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }

    // Creates a file (and its parents) whose last write, and so under Wine its creation,
    // lies `daysAgo` days before now.
    void File(const std::string& relative, double daysAgo, DWORD attributes = 0,
              const std::string& content = "x");
    void Directory(const std::string& relative, double daysAgo = -1, DWORD attributes = 0);
    // Sets an entry's times `daysAgo` days before now (directories too).
    void Age(const std::string& relative, double daysAgo);
    bool Exists(const std::string& relative) const;

  private:
    std::string root_;
};

std::string ReadWholeFile(const std::string& path);

// Wine gives a directory the creation time of its last change (its Linux mtime), so a
// directory emptied during a run reads as new there, unlike on Windows.
bool RunningUnderWine();
