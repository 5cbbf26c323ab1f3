// A vector of plain values kept in chunks, so that ten million rows never ask the heap for
// one large block: in a 32-bit process a block of hundreds of megabytes is often not to be
// had even where the memory is. The first chunks are small and each is twice the one
// before, up to about 2 MiB (or the smaller size asked); from there every chunk has that
// size. Elements never move, but a Reordering may rebuild a tail of them.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

// Bytes a single chunk may take at most.
const size_t kLargestChunkBytes = 2 * 1024 * 1024;

template <typename T, size_t kChunkBytes = kLargestChunkBytes> class ChunkedVector {
    static_assert(kChunkBytes <= kLargestChunkBytes, "no chunk over the largest block");
    static const size_t kFirstShift = 4; // 16 elements in the first chunk
    static constexpr size_t LastShift() {
        size_t shift = kFirstShift;
        while ((size_t(2) << shift) * sizeof(T) <= kChunkBytes)
            ++shift;
        return shift;
    }
    static const size_t kLastShift = LastShift();
    static const size_t kGrowing = kLastShift - kFirstShift; // chunks that double
    static const size_t kGrownStart = (size_t(1) << kLastShift) - (size_t(1) << kFirstShift);

  public:
    class Iterator;
    class Reordering;

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
    // The chunk that holds element `i`, and where in it.
    static size_t ChunkOf(size_t i, size_t& offset) {
        if (i < kGrownStart) {
            // Chunk k starts at 16 * (2^k - 1).
            size_t k = 0;
            while (ChunkStart(k + 1) <= i)
                ++k;
            offset = i - ChunkStart(k);
            return k;
        }
        const size_t past = i - kGrownStart;
        offset = past & ((size_t(1) << kLastShift) - 1);
        return kGrowing + (past >> kLastShift);
    }
    // The index of chunk k's first element: the elements of all chunks before it.
    static size_t ChunkStart(size_t k) {
        return k < kGrowing ? (size_t(1) << (kFirstShift + k)) - (size_t(1) << kFirstShift)
                            : kGrownStart + ((k - kGrowing) << kLastShift);
    }
    T& At(size_t i) {
        size_t offset;
        const size_t k = ChunkOf(i, offset);
        return chunks_[k][offset];
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

// Rebuilds the elements from `first` on in a new order, taken one by one into new chunks. A
// chunk of the old order is freed as soon as every element of it is taken, so a merge of
// many sorted runs holds about a chunk for each run beside the elements: never a second
// copy of them, nor an order of them all. Until Finish the elements not yet taken stay
// where they were and can be read. Left unfinished (an exception), it drops the elements
// from `first` on, and the vector before them stays whole and usable.
template <typename T, size_t kChunkBytes> class ChunkedVector<T, kChunkBytes>::Reordering {
  public:
    Reordering(ChunkedVector& v, size_t first) : v_(v), first_(first), next_(first) {}
    Reordering(const Reordering&) = delete;
    Reordering& operator=(const Reordering&) = delete;
    ~Reordering() {
        if (!made_.empty())
            Abandon();
    }

    // Appends the element now at `index` (`first` or later, each taken once) to the new order.
    void Take(size_t index) {
        if (made_.empty())
            Start();
        size_t offset, from;
        const size_t to = ChunkOf(next_, offset) - firstChunk_;
        if (!made_[to])
            made_[to].reset(new T[ChunkSize(firstChunk_ + to)]);
        const size_t source = ChunkOf(index, from);
        made_[to][offset] = std::move(v_.chunks_[source][from]);
        ++next_;
        if (--untaken_[source - firstChunk_] == 0)
            v_.chunks_[source].reset();
    }
    // Puts the new order in place. Throws std::logic_error, dropping the elements from
    // `first` on, if any of them was not taken.
    void Finish() {
        if (made_.empty())
            return; // nothing taken: nothing to reorder
        if (next_ != v_.size_) {
            Abandon();
            throw std::logic_error("a reordering left elements behind");
        }
        for (size_t c = 0; c < made_.size(); ++c)
            v_.chunks_[firstChunk_ + c] = std::move(made_[c]);
        made_.clear();
    }

  private:
    // Counts what each chunk holds from `first` on, and copies the elements before `first`
    // in its chunk into the new one.
    void Start() {
        size_t offset, lastOffset;
        firstChunk_ = ChunkOf(first_, offset);
        const size_t chunks = ChunkOf(v_.size_ - 1, lastOffset) - firstChunk_ + 1;
        untaken_.resize(chunks);
        for (size_t c = 0; c < chunks; ++c) {
            const size_t k = firstChunk_ + c;
            untaken_[c] = std::min(ChunkStart(k + 1), v_.size_) - std::max(ChunkStart(k), first_);
        }
        std::vector<std::unique_ptr<T[]>> made(chunks);
        made[0].reset(new T[ChunkSize(firstChunk_)]);
        for (size_t i = 0; i < offset; ++i)
            made[0][i] = v_.chunks_[firstChunk_][i];
        made_ = std::move(made);
    }
    // The elements before `first` are whole in the old first chunk or, once that is freed,
    // in the new one; the chunks after it go.
    void Abandon() {
        if (!v_.chunks_[firstChunk_])
            v_.chunks_[firstChunk_] = std::move(made_[0]);
        v_.chunks_.resize(firstChunk_ + 1);
        v_.capacity_ = ChunkStart(firstChunk_ + 1);
        v_.size_ = first_;
        made_.clear();
    }

    ChunkedVector& v_;
    const size_t first_;
    size_t next_;                            // where the next element taken goes
    size_t firstChunk_ = 0;                  // the chunk of `first`
    std::vector<size_t> untaken_;            // for each chunk from that one on
    std::vector<std::unique_ptr<T[]>> made_; // the new chunks, as the order reaches them
};
