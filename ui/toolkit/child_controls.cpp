#include "ui/toolkit/child_controls.h"

#include <algorithm>
#include <string>
#include <vector>

#include <commctrl.h>

#include "ui/toolkit/fonts.h"

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

int ButtonContentWidth(HWND button, const Scale& scale) {
    std::string caption = ControlText(button);
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    const auto font = reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0));
    const int text = caption.empty() ? 0 : TextExtent(button, font, caption).cx;
    int glyph = 0, margins = 0;
    BUTTON_IMAGELIST images{};
    if (SendMessageA(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)) &&
        images.himl) {
        int height = 0;
        ImageList_GetIconSize(images.himl, &glyph, &height);
        margins = images.margin.left + images.margin.right;
    }
    // The frame and the focus rectangle take 4 pixels a side round the caption.
    return margins + glyph + text + (text > 0 ? scale(8) : 0);
}

namespace {

// The most of a design gap that a pushed control keeps to the one before it.
const int kMostKeptGap = 8;

bool OnOneLine(const Box& a, const Box& b) {
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

// The box grown to what the control shows, where that is more than its design.
Box Fitted(HWND control, const ControlPlace& place, Box box, const Scale& scale) {
    if (place.fit == kTextSize) {
        const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        const SIZE text = TextExtent(control, font, ControlText(control));
        box.width = text.cx > 0 ? text.cx : 1;
        box.height = text.cy > 0 ? text.cy : scale(13);
    } else if (place.fit == kContentSize) {
        const int need = ButtonContentWidth(control, scale);
        if (need > box.width) {
            if ((place.anchors & kRight) && !(place.anchors & kLeft))
                box.left -= need - box.width; // it keeps the edge it is anchored to
            box.width = need;
        }
    }
    return box;
}

} // namespace

void PlaceControls(HWND parent, const ControlPlace* places, size_t count, const Scale& scale,
                   int dx, int dy) {
    std::vector<Box> designed(count), boxes(count);
    std::vector<size_t> leftToRight(count);
    for (size_t i = 0; i < count; ++i) {
        designed[i] = Anchored(scale(places[i].box), places[i].anchors, dx, dy);
        boxes[i] = Fitted(GetDlgItem(parent, places[i].id), places[i], designed[i], scale);
        leftToRight[i] = i;
    }
    std::stable_sort(leftToRight.begin(), leftToRight.end(), [places](size_t a, size_t b) {
        return places[a].box.left < places[b].box.left;
    });
    // Each control keeps its gap (up to the most kept) to every control before it on its
    // line, once those have their final places. Gaps are taken between the scaled boxes,
    // so rounding never moves anything at the design font.
    for (size_t n = 0; n < count; ++n) {
        const size_t i = leftToRight[n];
        int left = boxes[i].left;
        for (size_t m = 0; m < n; ++m) {
            const size_t j = leftToRight[m];
            const Box& before = places[j].box;
            const int gap = designed[i].left - (designed[j].left + designed[j].width);
            if (before.width > 0 && gap >= 0 && OnOneLine(before, places[i].box))
                left = std::max(left, boxes[j].left + boxes[j].width +
                                          std::min(gap, scale(kMostKeptGap)));
        }
        if (left > boxes[i].left) {
            const int right = boxes[i].left + boxes[i].width;
            boxes[i].left = left;
            if (places[i].fit == kGivesWay)
                boxes[i].width = std::max(0, right - left);
        }
    }
    for (size_t i = 0; i < count; ++i)
        MoveWindow(GetDlgItem(parent, places[i].id), boxes[i].left, boxes[i].top, boxes[i].width,
                   boxes[i].height, TRUE);
}
