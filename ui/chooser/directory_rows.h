// The rows the directory chooser shows for one current directory, with no window: the way
// down from the drive's root (open folders), the current directory, its subdirectories in
// name order (closed folders, hidden and system ones left out), and its files beside.
// Only names that reach exactly what was listed are offered (fs/exact_names.h).
#pragma once
#include <string>
#include <vector>

enum class RowKind { kOnTheWay = 0, kCurrent = 1, kSubdirectory = 2 };

struct DirectoryRow {
    std::string name, path;
    int depth;
    RowKind kind;
};

class DirectoryRows {
  public:
    // Reads the rows of `current`, a full directory as the system reports a current one
    // (a drive root with its backslash, others without).
    void Read(const std::string& current);
    const std::vector<DirectoryRow>& Rows() const { return rows_; }
    const std::vector<std::string>& Files() const { return files_; }
    // The index of the current directory's row.
    size_t CurrentRow() const;
    // Each row's name indented by two blanks a level, as a test reads the tree.
    std::vector<std::string> Texts() const;

  private:
    std::vector<DirectoryRow> rows_;
    std::vector<std::string> files_;
};
