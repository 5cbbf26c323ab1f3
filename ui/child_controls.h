// Child controls, made the same way in every window and placed from their design at 96 dots
// per inch, so a change of resolution only has to place them again.
#pragma once
#include <cstddef>
#include <string>

#include <windows.h>

#include "ui/dpi.h"
#include "ui/layout.h"

// Where a control stands at 96 dots per inch, the edges it keeps its distance to, and
// whether it takes the size of its text in its font (labels) instead of the design size.
struct ControlPlace {
    int id;
    Box box;
    int anchors;
    bool fitsText;
};

// The box as a rectangle.
inline RECT ToRect(const Box& box) {
    return RECT{box.left, box.top, box.left + box.width, box.top + box.height};
}

// A control's rectangle in its parent's client coordinates.
RECT ControlRect(HWND parent, HWND control);

// Creates a child control; it gets its place from PlaceControls and its font from
// SetControlFonts.
HWND AddChildControl(HWND parent, int id, const char* className, const char* text, DWORD style,
                     DWORD exStyle = 0);
// Gives each listed control (all children when `ids` is null) the font.
void SetControlFonts(HWND parent, HFONT font, const int* ids = nullptr, size_t count = 0);
// Moves each control to its design box scaled, anchored to a client area that is dx, dy
// larger than the scaled design.
void PlaceControls(HWND parent, const ControlPlace* places, size_t count, const Scale& scale,
                   int dx = 0, int dy = 0);
// A control's text.
std::string ControlText(HWND control);
