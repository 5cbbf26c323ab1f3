#include "ui/toolkit/fonts.h"

#include "ui/toolkit/gdi_objects.h"

HFONT CreateUiFont(int height, bool bold, const char* face) {
    return CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

SIZE TextExtent(HWND window, HFONT font, const std::string& text) {
    SIZE size{0, 0};
    const WindowDc dc(window);
    const Selected in(dc.get(), font);
    GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}
