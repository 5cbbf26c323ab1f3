#include "ui/toolkit/modal_window.h"

#include "ui/toolkit/dpi.h"

bool ModalWindow::CreateModal(const char* className, const char* caption, int clientWidth,
                              int clientHeight, DWORD extraStyle) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | extraStyle;
    const int dpi = SystemDpi();
    const Scale scale{dpi};
    const SIZE outer =
        OuterSize(scale(clientWidth), scale(clientHeight), style, WS_EX_DLGMODALFRAME, dpi);
    return CreateTopLevel(className, caption, style, WS_EX_DLGMODALFRAME, outer.cx, outer.cy,
                          nullptr);
}

void ModalWindow::ShowModal(HWND owner) {
    if (!placed_) {
        // The first showing is centred on the screen; later ones keep the last place.
        placed_ = true;
        RECT r;
        GetWindowRect(Handle(), &r);
        SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FormShow();
    if (owner)
        EnableWindow(owner, FALSE);
    running_ = true;
    lastFocus_ = nullptr;
    ShowWindow(Handle(), SW_SHOW);
    AfterShow();
    MSG msg;
    while (running_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslate(msg) && !IsDialogMessageA(Handle(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (running_) // the loop saw WM_QUIT: hand it on to the loop outside
        PostQuitMessage(static_cast<int>(msg.wParam));
    running_ = false;
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    ShowWindow(Handle(), SW_HIDE);
}

LRESULT ModalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        EndModal();
        return 0;
    }
    // As a dialog does: the frame never keeps the keyboard. An activation that comes after
    // the showing (a window manager activates asynchronously) or a return to the window
    // gives it back to the control that had it, else to the one the window starts with.
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        lastFocus_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
    }
    if (message == WM_SETFOCUS && running_) {
        if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_))
            SetFocus(lastFocus_);
        else
            AfterShow();
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
