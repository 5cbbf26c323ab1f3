#include "ui/toolkit/glyphs.h"

#include "ui/toolkit/gdi_objects.h"

namespace {

// The button's image list by state: normal, hot, pressed, disabled, defaulted, stylus-hot.
const int kStatePicture[6] = {0, 0, 0, 1, 0, 0};

} // namespace

bool GlyphImages::Apply(HWND button, int resourceId, int alignment, const Scale& scale) {
    GdiObject source(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!source.valid())
        return false;
    BITMAP info{};
    GetObjectA(source.get(), sizeof info, &info);
    const int designSize = info.bmHeight;
    const int size = scale(designSize);
    const WindowDc screen(nullptr);
    const MemoryDc from(screen.get()), to(screen.get());
    const GdiObject strip(CreateCompatibleBitmap(screen.get(), size * 6, size));
    if (!from.get() || !to.get() || !strip.valid())
        return false;
    COLORREF transparent = 0;
    {
        const Selected sourceIn(from.get(), source.get()), stripIn(to.get(), strip.get());
        transparent = GetPixel(from.get(), 0, designSize - 1);
        SetStretchBltMode(to.get(), COLORONCOLOR); // whole pixels: no blended edges
        for (int state = 0; state < 6; ++state)
            StretchBlt(to.get(), state * size, 0, size, size, from.get(),
                       kStatePicture[state] * designSize, 0, designSize, designSize, SRCCOPY);
    }

    ImageList list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 6, 0));
    if (!list.valid())
        return false;
    ImageList_AddMasked(list.get(), static_cast<HBITMAP>(strip.get()), transparent);
    BUTTON_IMAGELIST images{};
    images.himl = list.get();
    images.margin = {scale(3), 0, 0, 0};
    images.uAlign = static_cast<UINT>(alignment);
    SendMessageA(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    // The button no longer uses its earlier list.
    for (auto& [owner, old] : lists_) {
        if (owner == button) {
            old = std::move(list);
            return true;
        }
    }
    lists_.emplace_back(button, std::move(list));
    return true;
}
