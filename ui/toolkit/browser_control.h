// The system's web browser control, in-place active inside a child window of ours. The site
// implements only what a container must for in-place activation; nothing here waits for a
// page to load.
#pragma once
#include <string>

#include "ui/toolkit/com_ref.h"
#include "ui/toolkit/window_base.h"

#include <exdisp.h>
#include <ole2.h>

class BrowserSite;

class BrowserControl : public Window {
  public:
    BrowserControl() = default;
    ~BrowserControl() override;
    // Creates the (hidden) host window and the control inside it. False when the system has
    // no usable browser control; the host window may exist all the same.
    bool Create(HWND parent, int id, int left, int top, int width, int height);
    // Starts loading the address, given in the system's 8-bit code page.
    bool Navigate(const std::string& address);
    // The control holds a document (its Document property is set).
    bool HasDocument() const;
    // Gives the document's window the keyboard focus; false when there is no document.
    bool FocusDocument();
    // Offers a keyboard message to the control before dialog navigation sees it; true when
    // the control used it.
    bool TranslateKey(MSG& message);
    // Shows the page at `percent` of its size (the screen's resolution against 96 dots per
    // inch); false when there is no document yet.
    bool Zoom(int percent);

  protected:
    // The control fills the host window as the host window changes size.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Close();

    BrowserSite* site_ = nullptr;
    ComRef<IOleObject> object_;
    ComRef<IWebBrowser2> browser_;
    bool oleStarted_ = false;
};
