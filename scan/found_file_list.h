// The found-file list: rows of five texts kept in ascending order of their File text.
// Rows live in blocks of pointers, so an insertion costs a binary search and a short move,
// and a row is one allocation holding its sort key and its five texts. The order is that of
// the user's locale (lstrcmpA); comparing sort keys made once per row gives the same order
// at the cost of a byte comparison.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class FoundFileList {
  public:
    // Makes the byte string whose order is the File text's order.
    using SortKey = std::string (*)(const std::string& file);
    enum Column { File = 0, Created = 1, Modified = 2, Accessed = 3, Age = 4 };
    static const char* const kCaptions[5];

    // By default the locale's sort key (LCMapStringA), which orders as lstrcmpA does.
    explicit FoundFileList(SortKey sortKey = nullptr);
    static std::string LocaleSortKey(const std::string& file);
    static std::string ByteOrderKey(const std::string& file) { return file; }
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

    SortKey sortKey_;
    std::vector<Block> blocks_;
    size_t count_ = 0;
    mutable std::vector<size_t> starts_; // first row index of each block
    mutable bool startsValid_ = true;
};
