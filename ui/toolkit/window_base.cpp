#include "ui/toolkit/window_base.h"

#include "ui/toolkit/error_report.h"

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::Register(const char* className, HICON icon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(instance, className, &wc))
        return true;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    return RegisterClassExA(&wc) != 0;
}

bool Window::CreateTopLevel(const char* className, const char* caption, DWORD style, DWORD exStyle,
                            int width, int height, HICON icon) {
    return Register(className, icon) &&
           CreateWindowExA(exStyle, className, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), this) != nullptr;
}

bool Window::CreateChild(const char* className, HWND parent, int id, DWORD style, DWORD exStyle,
                         int left, int top, int width, int height) {
    return Register(className, nullptr) &&
           CreateWindowExA(exStyle, className, "", WS_CHILD | style, left, top, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), this) != nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

void Window::OnDpiChanged(int dpi, const RECT& suggested) {
    ApplyDpi(dpi);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (message == WM_DPICHANGED) {
        RunGuarded(
            [&] { self->OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); });
        return 0;
    }
    if (!RunGuarded([&] { result = self->HandleMessage(message, wParam, lParam); }))
        result = DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}
