// A window that owns its HWND: `this` is stored at WM_NCCREATE and every message goes to
// HandleMessage inside one guard, so no C++ exception ever reaches the system. A move to a
// screen of another resolution (WM_DPICHANGED) calls ApplyDpi, then takes the size the
// system suggests.
#pragma once
#include <windows.h>

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

  protected:
    // Registers the class once per name and creates the window.
    bool CreateTopLevel(const char* className, const char* caption, DWORD style, DWORD exStyle,
                        int width, int height, HICON icon);
    bool CreateChild(const char* className, HWND parent, int id, DWORD style, DWORD exStyle,
                     int left, int top, int width, int height);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes fonts, glyphs and the layout for `dpi`.
    virtual void ApplyDpi(int /*dpi*/) {}
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

  private:
    static bool Register(const char* className, HICON icon);
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(int dpi, const RECT& suggested);
    HWND hwnd_ = nullptr;
};
