// The fonts the windows use, made in one place.
#pragma once
#include <string>

#include <windows.h>

// A font `height` pixels high; the windows' own font is 8-point "MS Sans Serif" (11 pixels at
// 96 dots per inch, scaled by the caller to its window's resolution).
HFONT CreateUiFont(int height, bool bold = false, const char* face = "MS Sans Serif");

// The size `text` takes in `font`.
SIZE TextExtent(HWND window, HFONT font, const std::string& text);
