// Owners for the window layer's handles, on the file system's UniqueHandle: GDI objects,
// icons, image lists, device contexts, a paint, and objects selected into a device context,
// so that none is ever left behind, whatever a paint or measuring step returns or throws.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "fs/unique_handle.h"

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

// Image lists made with ImageList_Create.
struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};

using GdiObject = UniqueHandle<GdiTraits<HGDIOBJ>>;
using Font = UniqueHandle<GdiTraits<HFONT>>;
using Brush = UniqueHandle<GdiTraits<HBRUSH>>;
using Pen = UniqueHandle<GdiTraits<HPEN>>;
using Icon = UniqueHandle<IconTraits>;
using ImageList = UniqueHandle<ImageListTraits>;

// One WM_PAINT's drawing: BeginPaint here, EndPaint however the drawing ends, so the window
// is never left invalid (and painted again for ever).
class Painting {
  public:
    explicit Painting(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    ~Painting() { EndPaint(window_, &paint_); }
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A window's device context from GetDC, released with it.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory device context, deleted with it.
class MemoryDc {
  public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_)
            DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// An object selected into a device context for a while; the one it replaced comes back.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
    ~Selected() {
        if (old_)
            SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// The program's icon (the MAINICON resource) drawn for `size` pixels from the sizes it holds.
inline Icon ProgramIcon(int size) {
    return Icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, size, size, 0)));
}
