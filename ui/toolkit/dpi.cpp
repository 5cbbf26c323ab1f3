#include "ui/toolkit/dpi.h"

#include "ui/toolkit/gdi_objects.h"

namespace {

// Looked up at run time: the calls exist from Windows 10 on.
template <typename Function> Function User32(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                  : nullptr;
}

} // namespace

int SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32<GetDpiForWindowCall>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    using AdjustCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32<AdjustCall>("AdjustWindowRectExForDpi");
    RECT outer = {0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&outer, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}
