#include "ui/glyphs.h"

#include "app/handles.h"

namespace {

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};
using MemoryDc = UniqueHandle<MemoryDcTraits>;

// The button's image list by state: normal, hot, pressed, disabled, defaulted, stylus-hot.
const int kStatePicture[6] = {0, 0, 0, 1, 0, 0};

} // namespace

GlyphImages::~GlyphImages() {
    for (HIMAGELIST list : lists_)
        ImageList_Destroy(list);
}

bool GlyphImages::Apply(HWND button, int resourceId, int alignment) {
    GdiObject source(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!source.valid())
        return false;
    BITMAP info{};
    GetObjectA(source.get(), sizeof info, &info);
    const int size = info.bmHeight;
    HDC screen = GetDC(nullptr);
    MemoryDc from(CreateCompatibleDC(screen));
    MemoryDc to(CreateCompatibleDC(screen));
    GdiObject strip(CreateCompatibleBitmap(screen, size * 6, size));
    ReleaseDC(nullptr, screen);
    if (!from.valid() || !to.valid() || !strip.valid())
        return false;
    HGDIOBJ oldFrom = SelectObject(from.get(), source.get());
    HGDIOBJ oldTo = SelectObject(to.get(), strip.get());
    const COLORREF transparent = GetPixel(from.get(), 0, size - 1);
    for (int state = 0; state < 6; ++state)
        BitBlt(to.get(), state * size, 0, size, size, from.get(), kStatePicture[state] * size, 0,
               SRCCOPY);
    SelectObject(from.get(), oldFrom);
    SelectObject(to.get(), oldTo);

    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 6, 0);
    if (!list)
        return false;
    ImageList_AddMasked(list, static_cast<HBITMAP>(strip.get()), transparent);
    lists_.push_back(list);
    BUTTON_IMAGELIST images{};
    images.himl = list;
    images.margin = {3, 0, 0, 0};
    images.uAlign = static_cast<UINT>(alignment);
    SendMessageA(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    return true;
}
