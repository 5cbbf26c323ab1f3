// The fonts the windows use, made in one place.
#pragma once
#include <string>

#include <windows.h>

// A font `height` pixels high; the windows' own font is 8-point "MS Sans Serif" (11 pixels).
HFONT CreateUiFont(int height = 11, bool bold = false, const char* face = "MS Sans Serif");

// The size `text` takes in `font`.
SIZE TextExtent(HWND window, HFONT font, const std::string& text);
