#include "list/text_pool.h"

#include <cstring>
#include <new>

namespace {

const size_t kFirstChunkBytes = 4096;
const size_t kChunkBytes = size_t(1) << 21;
const size_t kMostChunks = size_t(1) << (32 - 21);

} // namespace

TextPool::Offset TextPool::Add(const void* data, size_t size) {
    if (chunks_.empty() || lastSize_ - used_ < size) {
        size_t next = chunks_.empty() ? kFirstChunkBytes : lastSize_;
        while (next < kChunkBytes && (next < size || (!chunks_.empty() && next <= lastSize_)))
            next *= 2;
        if (size > next || chunks_.size() == kMostChunks)
            throw std::bad_alloc();
        std::unique_ptr<char[]> chunk(new char[next]);
        chunks_.push_back(std::move(chunk));
        lastSize_ = next;
        used_ = 0;
    }
    const Offset offset = static_cast<Offset>(((chunks_.size() - 1) << kPositionBits) | used_);
    if (size > 0)
        std::memcpy(chunks_.back().get() + used_, data, size);
    used_ += size;
    return offset;
}

void TextPool::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    lastSize_ = used_ = 0;
}
