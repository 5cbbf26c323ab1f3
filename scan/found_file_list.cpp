#include "scan/found_file_list.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include <windows.h>

const char* const FoundFileList::kCaptions[5] = {"File", "Created", "Modified", "Accessed",
                                                 "Age (Days)"};

namespace {

// A row is its sort key followed by its five texts, each ending with a NUL.
char* PackRow(const std::string& key, const std::string* const* texts) {
    size_t size = key.size() + 1;
    for (int i = 0; i < 5; ++i)
        size += texts[i]->size() + 1;
    char* row = new char[size];
    char* p = row;
    std::memcpy(p, key.c_str(), key.size() + 1);
    p += key.size() + 1;
    for (int i = 0; i < 5; ++i) {
        std::memcpy(p, texts[i]->c_str(), texts[i]->size() + 1);
        p += texts[i]->size() + 1;
    }
    return row;
}

bool KeyLess(const char* a, const char* b) {
    return std::strcmp(a, b) < 0;
}

} // namespace

FoundFileList::FoundFileList(SortKey sortKey) : sortKey_(sortKey ? sortKey : LocaleSortKey) {}

std::string FoundFileList::LocaleSortKey(const std::string& file) {
    // One call for the usual path; a longer key is asked for its size first.
    char buffer[1024];
    int size =
        LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, file.c_str(), -1, buffer, sizeof buffer);
    if (size > 0)
        return std::string(buffer, std::strlen(buffer));
    size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, file.c_str(), -1, nullptr, 0);
    if (size <= 0)
        throw std::bad_alloc(); // no key can be made: treated as running out of resources
    std::string key(static_cast<size_t>(size), '\0');
    LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, file.c_str(), -1, &key[0], size);
    key.resize(std::strlen(key.c_str()));
    return key;
}

FoundFileList::~FoundFileList() {
    Clear();
}

void FoundFileList::Clear() {
    for (Block& block : blocks_)
        for (char* row : block)
            delete[] row;
    blocks_.clear();
    starts_.clear();
    count_ = 0;
    startsValid_ = true;
}

void FoundFileList::AddRow(const std::string& file, const std::string& created,
                           const std::string& modified, const std::string& accessed,
                           const std::string& age) {
    const std::string* const texts[5] = {&file, &created, &modified, &accessed, &age};
    std::unique_ptr<char[]> row(PackRow(sortKey_(file), texts));
    auto less = KeyLess;
    if (blocks_.empty())
        blocks_.emplace_back();
    // The last block whose first row does not sort after the new one receives it.
    auto after = std::upper_bound(
        blocks_.begin() + 1, blocks_.end(), row.get(),
        [&](const char* value, const Block& block) { return less(value, block.front()); });
    size_t index = static_cast<size_t>(after - blocks_.begin()) - 1;
    Block& block = blocks_[index];
    block.insert(std::upper_bound(block.begin(), block.end(), row.get(), less), row.get());
    row.release(); // owned by the list from here on
    ++count_;
    startsValid_ = false;
    if (block.size() > kBlockSize)
        SplitBlock(index);
}

void FoundFileList::SplitBlock(size_t index) {
    try {
        Block upper(blocks_[index].begin() + kBlockSize / 2, blocks_[index].end());
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(upper));
        blocks_[index].resize(kBlockSize / 2);
    } catch (const std::bad_alloc&) {
        // An oversized block is still a valid block; the next insertion tries again.
    }
}

void FoundFileList::RebuildStarts() const {
    starts_.resize(blocks_.size());
    size_t first = 0;
    for (size_t i = 0; i < blocks_.size(); ++i) {
        starts_[i] = first;
        first += blocks_[i].size();
    }
    startsValid_ = true;
}

const char* FoundFileList::RowAt(size_t row) const {
    if (!startsValid_)
        RebuildStarts();
    size_t block = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), row) -
                                       starts_.begin()) -
                   1;
    return blocks_[block][row - starts_[block]];
}

const char* FoundFileList::Text(size_t row, int column) const {
    const char* text = RowAt(row);
    text += std::strlen(text) + 1; // past the sort key
    for (int i = 0; i < column; ++i)
        text += std::strlen(text) + 1;
    return text;
}
