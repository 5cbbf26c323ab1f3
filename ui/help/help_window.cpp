#include "ui/help/help_window.h"

#include "ui/toolkit/child_controls.h"
#include "ui/toolkit/fonts.h"
#include "base/program_location.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace {

const int kOuterWidth = 625, kOuterHeight = 500;
const WORD kHtmlResource = 23;
// Design at 96 dots per inch. Neither the button nor the page follows the window's edges.
const ControlPlace kPlaces[] = {
    {IdHelpClose, {535, 432, 75, 25}, kLeft | kTop, kContentSize},
    {IdHelpView, {8, 8, 601, 417}, kLeft | kTop, kDesignSize},
    {IdHelpBrowser, {8, 8, 601, 417}, kLeft | kTop, kDesignSize},
};

} // namespace

TForm2::~TForm2() = default;

bool TForm2::Create() {
    if (!CreateModal("TForm2", "Vantrell Help", 617, 466, WS_THICKFRAME))
        return false;
    // Tab order: Close first, then the page.
    AddChildControl(Handle(), IdHelpClose, WC_BUTTONA, "&Close",
                    WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
    // The page area holds two views in one place: our own drawing, and the system's browser
    // control, which takes over once it holds the page. Without a usable control (as under
    // Wine without an HTML engine) the own view stays; that is not an error.
    if (!FallbackView.Create(Handle(), IdHelpView))
        return false;
    const int dpi = WindowDpi(Handle());
    ApplyDpi(dpi);
    const Scale scale{dpi};
    SetWindowPos(Handle(), nullptr, 0, 0, scale(kOuterWidth), scale(kOuterHeight),
                 SWP_NOMOVE | SWP_NOZORDER);
    FormCreate();
    return true;
}

void TForm2::ApplyDpi(int dpi) {
    const Scale scale{dpi};
    Font font(CreateUiFont(scale(11)));
    const int close[] = {IdHelpClose};
    SetControlFonts(Handle(), font.get(), close, 1);
    font_ = std::move(font);
    glyphs_.Apply(GetDlgItem(Handle(), IdHelpClose), IDB_GLYPH_CLOSE, BUTTON_IMAGELIST_ALIGN_LEFT,
                  scale);
    PlaceControls(Handle(), kPlaces, sizeof kPlaces / sizeof kPlaces[0], scale);
    FallbackView.SetDpi(dpi);
    if (browserShown_)
        WebBrowser1.Zoom(MulDiv(100, dpi, kDesignDpi));
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
}

// The browser control costs most of a second to start under Wine, which a scheduled run,
// never showing Help, need not pay: the window starts it once it is going to be seen.
void TForm2::StartLoadingPage() {
    if (loadingStarted_)
        return;
    loadingStarted_ = true;
    const Box page = kPlaces[1].box;
    browserReady_ =
        WebBrowser1.Create(Handle(), IdHelpBrowser, page.left, page.top, page.width, page.height);
    ApplyDpi(WindowDpi(Handle()));
    // Loading goes on in the background; a failure leaves the own view in place.
    browserReady_ = browserReady_ && WebBrowser1.Navigate(HelpAddress());
}

void TForm2::FormShow() {
    StartLoadingPage();
    // Decided at each showing and never taken back, so a page once shown keeps its place.
    if (!browserShown_ && browserReady_ && WebBrowser1.HasDocument()) {
        browserShown_ = true;
        ShowWindow(WebBrowser1.Handle(), SW_SHOW);
        ShowWindow(FallbackView.Handle(), SW_HIDE);
    }
    if (browserShown_)
        WebBrowser1.Zoom(MulDiv(100, WindowDpi(Handle()), kDesignDpi));
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
