// Button glyphs: a bitmap resource holding the normal picture and its greyed outline side
// by side, the bottom-left pixel giving the transparent colour. The pictures are drawn for
// 96 dots per inch; at other resolutions each pixel is repeated (never blended), so the
// glyph stays sharp at the size of the text beside it.
#pragma once
#include <utility>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "ui/toolkit/dpi.h"
#include "ui/toolkit/gdi_objects.h"

class GlyphImages {
  public:
    GlyphImages() = default;
    GlyphImages(const GlyphImages&) = delete;
    GlyphImages& operator=(const GlyphImages&) = delete;

    // Puts the glyph, scaled, on a push button: the left picture for every state but the
    // disabled one, which shows the right picture. A button's earlier glyph is replaced.
    // Returns false when the resource is missing.
    bool Apply(HWND button, int resourceId, int alignment, const Scale& scale);

  private:
    // Each button's list, destroyed with the images or when the button gets another.
    std::vector<std::pair<HWND, ImageList>> lists_;
};
