// A vector of plain values kept in chunks, so that ten million rows never ask the heap for
// one large block: in a 32-bit process a block of hundreds of megabytes is often not to be
// had even where the memory is. The first chunks are small and each is twice the one
// before, up to about 2 MiB; from there every chunk has that size. Elements never move.
#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// Bytes a single chunk may take at most.
const size_t kLargestChunkBytes = 2 * 1024 * 1024;

template <typename T> class ChunkedVector {
    static const size_t kFirstShift = 4; // 16 elements in the first chunk
    static constexpr size_t LastShift() {
        size_t shift = kFirstShift;
        while ((size_t(2) << shift) * sizeof(T) <= kLargestChunkBytes)
            ++shift;
        return shift;
    }
    static const size_t kLastShift = LastShift();
    static const size_t kGrowing = kLastShift - kFirstShift; // chunks that double
    static const size_t kGrownStart = (size_t(1) << kLastShift) - (size_t(1) << kFirstShift);

  public:
    class Iterator;

    ChunkedVector() = default;
    // A vector moved from is empty, as a std::vector is, and ready for use.
    ChunkedVector(ChunkedVector&& other) noexcept
        : chunks_(std::move(other.chunks_)), size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    ChunkedVector& operator=(ChunkedVector&& other) noexcept {
        chunks_ = std::move(other.chunks_);
        other.chunks_.clear();
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        return *this;
    }

    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    T& operator[](size_t i) { return At(i); }
    const T& operator[](size_t i) const { return const_cast<ChunkedVector*>(this)->At(i); }
    T& back() { return At(size_ - 1); }
    const T& back() const { return (*this)[size_ - 1]; }

    // Throws std::bad_alloc when no chunk can be had; the vector is then unchanged.
    void push_back(const T& value) {
        if (size_ == capacity_)
            Grow();
        At(size_) = value;
        ++size_;
    }
    void push_back(T&& value) {
        if (size_ == capacity_)
            Grow();
        At(size_) = std::move(value);
        ++size_;
    }
    // Drops the elements from `count` on, keeping the chunks for reuse.
    void truncate(size_t count) {
        if (count < size_)
            size_ = count;
    }
    // Drops every element, and frees the chunks past those that hold the first `kept`.
    void trim(size_t kept) {
        size_ = 0;
        size_t chunks = 0, capacity = 0;
        while (chunks < chunks_.size() && capacity < kept)
            capacity += ChunkSize(chunks++);
        chunks_.resize(chunks);
        capacity_ = capacity;
    }
    void clear() {
        chunks_.clear();
        chunks_.shrink_to_fit();
        size_ = capacity_ = 0;
    }
    Iterator begin() { return Iterator(this, 0); }
    Iterator end() { return Iterator(this, size_); }

    // A random-access iterator by index, so std::sort can order the elements in place.
    class Iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = T*;
        using reference = T&;
        Iterator() = default;
        Iterator(ChunkedVector* v, size_t i) : v_(v), i_(static_cast<difference_type>(i)) {}
        T& operator*() const { return (*v_)[static_cast<size_t>(i_)]; }
        T* operator->() const { return &**this; }
        T& operator[](difference_type n) const { return *(*this + n); }
        Iterator& operator++() { return ++i_, *this; }
        Iterator& operator--() { return --i_, *this; }
        Iterator operator++(int) { return Iterator(v_, static_cast<size_t>(i_++)); }
        Iterator operator--(int) { return Iterator(v_, static_cast<size_t>(i_--)); }
        Iterator& operator+=(difference_type n) { return i_ += n, *this; }
        Iterator& operator-=(difference_type n) { return i_ -= n, *this; }
        Iterator operator+(difference_type n) const { return Iterator(v_, size_t(i_ + n)); }
        Iterator operator-(difference_type n) const { return Iterator(v_, size_t(i_ - n)); }
        friend Iterator operator+(difference_type n, const Iterator& it) { return it + n; }
        difference_type operator-(const Iterator& o) const { return i_ - o.i_; }
        bool operator==(const Iterator& o) const { return i_ == o.i_; }
        bool operator!=(const Iterator& o) const { return i_ != o.i_; }
        bool operator<(const Iterator& o) const { return i_ < o.i_; }
        bool operator>(const Iterator& o) const { return i_ > o.i_; }
        bool operator<=(const Iterator& o) const { return i_ <= o.i_; }
        bool operator>=(const Iterator& o) const { return i_ >= o.i_; }

      private:
        ChunkedVector* v_ = nullptr;
        difference_type i_ = 0;
    };

    // The number of elements chunk `k` holds (for tests and the benchmark).
    static size_t ChunkSize(size_t k) {
        return size_t(1) << (k < kGrowing ? kFirstShift + k : kLastShift);
    }

  private:
    T& At(size_t i) {
        if (i < kGrownStart) {
            // Chunk k starts at 16 * (2^k - 1).
            size_t k = 0;
            while ((size_t(2) << (kFirstShift + k)) - (size_t(1) << kFirstShift) <= i)
                ++k;
            return chunks_[k][i - ((size_t(1) << (kFirstShift + k)) - (size_t(1) << kFirstShift))];
        }
        const size_t past = i - kGrownStart;
        return chunks_[kGrowing + (past >> kLastShift)][past & ((size_t(1) << kLastShift) - 1)];
    }
    void Grow() {
        const size_t elements = ChunkSize(chunks_.size());
        std::unique_ptr<T[]> chunk(new T[elements]);
        chunks_.push_back(std::move(chunk));
        capacity_ += elements;
    }

    std::vector<std::unique_ptr<T[]>> chunks_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};
