// Child controls, made the same way in every window and placed from their design at 96 dots
// per inch, so a change of resolution only has to place them again.
#pragma once
#include <cstddef>
#include <string>

#include <windows.h>

#include "ui/toolkit/dpi.h"
#include "ui/toolkit/layout.h"

// How a control's size follows what it shows, so that no text is ever cut in a font wider
// than the design's (another face, a larger text size).
enum Fit {
    kDesignSize,  // the design box, scaled
    kTextSize,    // a label: exactly its text in its font
    kContentSize, // a button: at least its margins, glyph and caption
    kGivesWay,    // keeps its far edge and narrows when a control before it grows
};

// Where a control stands at 96 dots per inch, the edges it keeps its distance to, and how
// its size follows its text.
struct ControlPlace {
    int id;
    Box box;
    int anchors;
    Fit fit;
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
// larger than the scaled design. A control that needs more room than its design box grows,
// and the controls after it on its line move right just enough to keep their design gap
// (at most 8 design pixels); at the design font nothing moves.
void PlaceControls(HWND parent, const ControlPlace* places, size_t count, const Scale& scale,
                   int dx = 0, int dy = 0);
// The width a push button needs for its margins, glyph and caption in its font.
int ButtonContentWidth(HWND button, const Scale& scale);
// A control's text.
std::string ControlText(HWND control);
