#include "ui/child_controls.h"

#include <string>

#include "ui/fonts.h"

HWND AddChildControl(HWND parent, int id, const char* className, const char* text, DWORD style,
                     DWORD exStyle) {
    return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

void SetControlFonts(HWND parent, HFONT font, const int* ids, size_t count) {
    const auto set = [font](HWND control) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    };
    if (ids) {
        for (size_t i = 0; i < count; ++i)
            set(GetDlgItem(parent, ids[i]));
        return;
    }
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        set(child);
}

RECT ControlRect(HWND parent, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ControlText(HWND control) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    const int length = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

void PlaceControls(HWND parent, const ControlPlace* places, size_t count, const Scale& scale,
                   int dx, int dy) {
    for (size_t i = 0; i < count; ++i) {
        const ControlPlace& place = places[i];
        HWND control = GetDlgItem(parent, place.id);
        Box box = Anchored(scale(place.box), place.anchors, dx, dy);
        if (place.fitsText) {
            const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
            const SIZE text = TextExtent(control, font, ControlText(control));
            box.width = text.cx > 0 ? text.cx : 1;
            box.height = text.cy > 0 ? text.cy : scale(13);
        }
        MoveWindow(control, box.left, box.top, box.width, box.height, TRUE);
    }
}
