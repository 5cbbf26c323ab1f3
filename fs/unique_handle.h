// A move-only owner for a handle of any kind, so it can never be left open, and the kinds
// of the file system: find handles and file handles. The window layer adds its own kinds.
#pragma once
#include <windows.h>

template <typename Traits> class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    bool valid() const { return Traits::IsValid(handle_); }
    Handle get() const { return handle_; }
    Handle release() {
        Handle h = handle_;
        handle_ = Traits::Empty();
        return h;
    }
    void reset(Handle h = Traits::Empty()) {
        if (Traits::IsValid(handle_))
            Traits::Close(handle_);
        handle_ = h;
    }

  private:
    Handle handle_ = Traits::Empty();
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindClose(h); }
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

using FindHandle = UniqueHandle<FindHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
