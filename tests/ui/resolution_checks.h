// Checks shared by the window tests at a screen resolution: the resolution a test runs at,
// and where a control stands against its design at 96 dots per inch, scaled.
#pragma once
#include <cstdlib>

#include <gtest/gtest.h>
#include <windows.h>

#include "ui/child_controls.h"
#include "ui/dpi.h"

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

inline void ExpectScaledDesign(HWND parent, int id, const Box& design, int dpi) {
    const Box want = Scale{dpi}(design);
    const RECT got = ControlRect(parent, GetDlgItem(parent, id));
    EXPECT_EQ(got.left, want.left) << "control " << id << " at " << dpi << " dpi";
    EXPECT_EQ(got.top, want.top) << "control " << id << " at " << dpi << " dpi";
    EXPECT_EQ(got.right - got.left, want.width) << "control " << id << " at " << dpi << " dpi";
    EXPECT_EQ(got.bottom - got.top, want.height) << "control " << id << " at " << dpi << " dpi";
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
