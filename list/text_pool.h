// Texts appended one after another into chunks of at most 2 MiB, each named by a 32-bit
// offset: a row keeps four bytes for its name instead of a heap block of its own. A text
// never spans two chunks, so it is read back as one contiguous run of bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TextPool {
  public:
    using Offset = uint32_t;

    // Appends `size` bytes and returns where they start. Throws std::bad_alloc when no
    // chunk can be had or the pool is full (4 GiB); the pool is then unchanged.
    Offset Add(const void* data, size_t size);
    const char* At(Offset offset) const {
        return chunks_[offset >> kPositionBits].get() + (offset & kPositionMask);
    }
    // Frees every chunk.
    void Clear();

  private:
    static const unsigned kPositionBits = 21; // 2 MiB
    static const Offset kPositionMask = (Offset(1) << kPositionBits) - 1;

    std::vector<std::unique_ptr<char[]>> chunks_;
    size_t lastSize_ = 0; // bytes of the last chunk
    size_t used_ = 0;     // bytes used in the last chunk
};
