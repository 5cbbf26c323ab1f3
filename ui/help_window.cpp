#include "ui/help_window.h"

#include "ui/fonts.h"
#include "app/program_location.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace {

const int kOuterWidth = 625, kOuterHeight = 500;
const WORD kHtmlResource = 23;

} // namespace

TForm2::~TForm2() = default;

bool TForm2::Create() {
    if (!CreateModal("TForm2", "Vantrell Help", 617, 466, WS_THICKFRAME))
        return false;
    SetWindowPos(Handle(), nullptr, 0, 0, kOuterWidth, kOuterHeight, SWP_NOMOVE | SWP_NOZORDER);
    font_.reset(CreateUiFont());
    // Tab order: Close first, then the page. Neither follows the window's edges.
    HWND close = CreateWindowExA(
        0, WC_BUTTONA, "&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 535, 432, 75,
        25, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdHelpClose)),
        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(close, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    glyphs_.Apply(close, IDB_GLYPH_CLOSE, BUTTON_IMAGELIST_ALIGN_LEFT);
    // The page area holds two views in one place: our own drawing, and the system's browser
    // control, which takes over once it holds the page. Without a usable control (as under
    // Wine without an HTML engine) the own view stays; that is not an error.
    if (!FallbackView.Create(Handle(), IdHelpView, 8, 8, 601, 417))
        return false;
    browserReady_ = WebBrowser1.Create(Handle(), IdHelpBrowser, 8, 8, 601, 417);
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
    FallbackView.SetPage(ParseHelpPage(HelpPageText()));
    // Loading goes on in the background; a failure leaves the own view in place.
    browserReady_ = browserReady_ && WebBrowser1.Navigate(HelpAddress());
}

void TForm2::FormShow() {
    // Decided at each showing and never taken back, so a page once shown keeps its place.
    if (browserShown_ || !browserReady_ || !WebBrowser1.HasDocument())
        return;
    browserShown_ = true;
    ShowWindow(WebBrowser1.Handle(), SW_SHOW);
    ShowWindow(FallbackView.Handle(), SW_HIDE);
}

void TForm2::AfterShow() {
    if (!browserShown_)
        SetFocus(FallbackView.Handle());
    else if (!WebBrowser1.FocusDocument())
        SetFocus(WebBrowser1.Handle());
}

bool TForm2::PreTranslate(MSG& message) {
    return browserShown_ && WebBrowser1.TranslateKey(message);
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
