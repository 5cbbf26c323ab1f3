// Move-only owners for Win32 handles, so a listing or file can never be left open.
#pragma once
#include <string>
#include <windows.h>

#include "app/exact_names.h"

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

// Any GDI object, or one kind of them (fonts, brushes, pens) so that no cast is needed where
// it is used.
template <typename H> struct GdiTraits {
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

// Icons loaded with LoadImage (not shared ones from LoadIcon).
struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};

using FindHandle = UniqueHandle<FindHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using GdiObject = UniqueHandle<GdiTraits<HGDIOBJ>>;
using Font = UniqueHandle<GdiTraits<HFONT>>;
using Brush = UniqueHandle<GdiTraits<HBRUSH>>;
using Pen = UniqueHandle<GdiTraits<HPEN>>;
using Icon = UniqueHandle<IconTraits>;

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
