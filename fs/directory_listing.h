// One wide FindFirstFile listing, for the windows that describe a path a user named.
#pragma once
#include <string>

#include "fs/exact_names.h"
#include "fs/unique_handle.h"

// One directory listing, read wide so that names arrive as they are: the first entry is
// read on opening, Next() reads the others. A pattern without an exact wide form lists
// nothing.
class DirectoryListing {
  public:
    explicit DirectoryListing(const std::string& pattern) {
        std::wstring wide;
        if (ToExactWide(pattern, wide))
            handle_.reset(FindFirstFileW(wide.c_str(), &entry_));
    }
    bool HasEntry() const { return handle_.valid() && !done_; }
    const WIN32_FIND_DATAW& Entry() const { return entry_; }
    void Next() { done_ = !FindNextFileW(handle_.get(), &entry_); }

  private:
    WIN32_FIND_DATAW entry_{};
    FindHandle handle_;
    bool done_ = false;
};
