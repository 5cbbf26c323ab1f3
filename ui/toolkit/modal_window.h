// A top-level window shown modally: created once, hidden when closed, shown again later.
#pragma once
#include "ui/toolkit/window_base.h"

class ModalWindow : public Window {
  public:
    // Disables the owner, shows the window and runs its messages until it is closed.
    void ShowModal(HWND owner);

  protected:
    // A fixed dialog frame around a client area of the given size at 96 dots per inch,
    // scaled to the resolution new windows start with.
    bool CreateModal(const char* className, const char* caption, int clientWidth, int clientHeight,
                     DWORD extraStyle = 0);
    void EndModal() { running_ = false; }
    // Runs just before each showing, and just after the window has appeared.
    virtual void FormShow() {}
    virtual void AfterShow() {}
    // Sees each message of the modal loop first; true when it has been handled.
    virtual bool PreTranslate(MSG&) { return false; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool running_ = false;
    bool placed_ = false;
    // The control that had the keyboard when the window was last deactivated.
    HWND lastFocus_ = nullptr;
};
