#include "ui/help_window.h"

#include "ui/fonts.h"
#include "app/program_location.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace {

const int kOuterWidth = 625, kOuterHeight = 500;
const WORD kHtmlResource = 23;

} // namespace

TForm2::~TForm2() {
    if (font_)
        DeleteObject(font_);
}

bool TForm2::Create() {
    if (!CreateModal("TForm2", "Vantrell Help", 617, 466, WS_THICKFRAME))
        return false;
    SetWindowPos(Handle(), nullptr, 0, 0, kOuterWidth, kOuterHeight, SWP_NOMOVE | SWP_NOZORDER);
    font_ = CreateUiFont();
    // Tab order: Close first, then the page. Neither follows the window's edges.
    HWND close = CreateWindowExA(
        0, WC_BUTTONA, "&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 535, 432, 75,
        25, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdHelpClose)),
        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(close, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    glyphs_.Apply(close, IDB_GLYPH_CLOSE, BUTTON_IMAGELIST_ALIGN_LEFT);
    if (!WebBrowser1.Create(Handle(), IdHelpView, 8, 8, 601, 417))
        return false;
    FormCreate();
    return true;
}

std::string TForm2::HelpAddress() {
    return "res://" + ExecutablePath() + "/HELPHTML";
}

std::string TForm2::HelpPageText() {
    HRSRC found = FindResourceA(nullptr, "HELPHTML", MAKEINTRESOURCEA(kHtmlResource));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

void TForm2::FormCreate() {
    // The page is the one stored under the help address; the program draws it itself, so
    // it reads the same under any system, also where no HTML engine is installed.
    WebBrowser1.SetPage(ParseHelpPage(HelpPageText()));
}

void TForm2::AfterShow() {
    SetFocus(WebBrowser1.Handle());
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IdHelpClose) {
        EndModal();
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        return 0; // the window has no cancel button
    return ModalWindow::HandleMessage(message, wParam, lParam);
}
