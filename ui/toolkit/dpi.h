// Screen resolution. Every window is designed at 96 dots per inch and scaled by the
// resolution of the screen it stands on (the manifest declares per-monitor awareness).
#pragma once
#include <windows.h>

#include "ui/toolkit/layout.h"

const int kDesignDpi = 96;

// A design length (or box) at 96 dots per inch, in pixels at `dpi`.
struct Scale {
    int dpi = kDesignDpi;
    int operator()(int length) const { return MulDiv(length, dpi, kDesignDpi); }
    Box operator()(const Box& box) const {
        return {(*this)(box.left), (*this)(box.top), (*this)(box.width), (*this)(box.height)};
    }
};

// The resolution of the screen the window stands on; the system's where the system cannot
// tell per window (before Windows 10).
int WindowDpi(HWND window);
// The resolution new windows start with.
int SystemDpi();
// The outer size of a window whose client area is `clientWidth` x `clientHeight` at `dpi`.
SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
