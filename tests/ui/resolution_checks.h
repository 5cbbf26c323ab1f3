// Checks shared by the window tests at a screen resolution: the resolution a test runs at,
// and where controls stand against the same window's layout at another resolution.
#pragma once
#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <map>

#include <gtest/gtest.h>
#include <windows.h>

#include "ui/toolkit/child_controls.h"
#include "ui/toolkit/dpi.h"

// The window's own resolution. The resolution test runs the window tests again in prefixes
// set to other resolutions and names the one set in VANTRELL_EXPECTED_DPI, so that they
// cannot pass at 96 by mistake.
inline int TestedDpi(HWND window) {
    const int dpi = WindowDpi(window);
    if (const char* expected = std::getenv("VANTRELL_EXPECTED_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    return dpi;
}

// A resolution to move to from `dpi` whose windows still fit the test screen.
inline int OtherDpi(int dpi) {
    return dpi == 96 ? 144 : 96;
}

// Every child control's place in the window's client coordinates, by its id.
inline std::map<int, RECT> ChildPlaces(HWND window) {
    std::map<int, RECT> places;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        places[GetDlgCtrlID(c)] = ControlRect(window, c);
    return places;
}

// True when `is` is `was` scaled from `from` to `to` dots per inch, within a pixel of its
// rounding.
inline bool ScaledFrom(int was, int is, int from, int to) {
    return std::abs(MulDiv(was, to, from) - is) <= 1;
}

// Each control of `now`, at `dpi`, stands where `before`, at `baseDpi`, scaled puts it.
// Controls sized by their text or by themselves (`ownSize`: labels, a combo box) are
// compared by their place only, and those that follow another's text (`ownLeft`) by their
// top only.
inline void ExpectPlacesScaled(const std::map<int, RECT>& before, int baseDpi,
                               const std::map<int, RECT>& now, int dpi,
                               std::initializer_list<int> ownSize = {},
                               std::initializer_list<int> ownLeft = {}) {
    const auto in = [](std::initializer_list<int> ids, int id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    ASSERT_EQ(before.size(), now.size());
    for (const auto& [id, was] : before) {
        const RECT& is = now.at(id);
        EXPECT_TRUE(ScaledFrom(was.top, is.top, baseDpi, dpi) &&
                    (in(ownLeft, id) || ScaledFrom(was.left, is.left, baseDpi, dpi)))
            << "control " << id << " at " << dpi;
        if (in(ownSize, id) || in(ownLeft, id))
            continue;
        EXPECT_TRUE(ScaledFrom(was.right - was.left, is.right - is.left, baseDpi, dpi) &&
                    ScaledFrom(was.bottom - was.top, is.bottom - is.top, baseDpi, dpi))
            << "control " << id << " at " << dpi;
    }
}

// The height of a control's font.
inline LONG FontHeight(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight;
}

// What a move to a screen of `dpi` sends: the new resolution and the suggested outer
// rectangle, here the window's own place with its client area scaled from the design.
inline void SendDpiChange(HWND window, int dpi, int designWidth, int designHeight) {
    const Scale s{dpi};
    RECT outer = {0, 0, s(designWidth), s(designHeight)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    OffsetRect(&outer, -outer.left, -outer.top);
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
}
