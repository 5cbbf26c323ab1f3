// Button glyphs: a bitmap resource holding the normal picture and its greyed outline side
// by side, the bottom-left pixel giving the transparent colour.
#pragma once
#include <vector>

#include <windows.h>
#include <commctrl.h>

class GlyphImages {
  public:
    GlyphImages() = default;
    GlyphImages(const GlyphImages&) = delete;
    GlyphImages& operator=(const GlyphImages&) = delete;
    ~GlyphImages();

    // Puts the glyph on a push button: the left picture for every state but the disabled
    // one, which shows the right picture. Returns false when the resource is missing.
    bool Apply(HWND button, int resourceId, int alignment);

  private:
    std::vector<HIMAGELIST> lists_;
};
