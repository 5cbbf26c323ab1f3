// The found-file list: rows of five texts kept in ascending order of their File text.
// Rows live in blocks of pointers, so an insertion costs a binary search and a short move,
// and a row is one allocation holding its five texts.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class FoundFileList {
  public:
    using Compare = int (*)(const char*, const char*);
    enum Column { File = 0, Created = 1, Modified = 2, Accessed = 3, Age = 4 };
    static const char* const kCaptions[5];

    // The order is the locale-aware comparison of the user's locale (lstrcmpA) by default.
    explicit FoundFileList(Compare compare = nullptr);
    ~FoundFileList();
    FoundFileList(const FoundFileList&) = delete;
    FoundFileList& operator=(const FoundFileList&) = delete;

    void Clear();
    // Inserts the row at its sorted place. Throws std::bad_alloc when memory runs out;
    // the list is then unchanged.
    void AddRow(const std::string& file, const std::string& created, const std::string& modified,
                const std::string& accessed, const std::string& age);

    size_t Count() const { return count_; }
    const char* Text(size_t row, int column) const;
    const char* FileText(size_t row) const { return Text(row, File); }

  private:
    using Block = std::vector<char*>;
    static const size_t kBlockSize = 512;

    const char* RowAt(size_t row) const;
    void RebuildStarts() const;
    void SplitBlock(size_t index);

    Compare compare_;
    std::vector<Block> blocks_;
    size_t count_ = 0;
    mutable std::vector<size_t> starts_; // first row index of each block
    mutable bool startsValid_ = true;
};
