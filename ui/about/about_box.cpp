#include "ui/about/about_box.h"

#include "ui/toolkit/child_controls.h"
#include "ui/toolkit/fonts.h"
#include "base/program_location.h"

#include "ui/about/web_links.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

// Design at 96 dots per inch: the raised panel, the sunken frame round the icon, the icon.
const int kPanelLeft = 8, kPanelTop = 8;
const Box kPanel1 = {8, 8, 321, 193};
const Box kBevel1 = {kPanelLeft + 8, kPanelTop + 8, 65, 65};
const Box kProgramIcon = {kPanelLeft + 24, kPanelTop + 24, 33, 33};
const int kIconDesignSize = 32;
// The link word's design place; it follows the sentence where the font runs wider.
const int kDonateLeft = kPanelLeft + 259;

const ControlPlace kPlaces[] = {
    {IdProductName, {kPanelLeft + 88, kPanelTop + 21, 0, 0}, kLeft | kTop, kTextSize},
    {IdVersion, {kPanelLeft + 89, kPanelTop + 48, 0, 0}, kLeft | kTop, kTextSize},
    {IdCopyright, {kPanelLeft + 16, kPanelTop + 88, 0, 0}, kLeft | kTop, kTextSize},
    {IdComments1, {kPanelLeft + 16, kPanelTop + 104, 0, 0}, kLeft | kTop, kTextSize},
    {IdComments2, {kPanelLeft + 16, kPanelTop + 120, 0, 0}, kLeft | kTop, kTextSize},
    {IdDonateLabel1, {kPanelLeft + 16, kPanelTop + 144, 0, 0}, kLeft | kTop, kTextSize},
    {IdDonateLabel2, {kDonateLeft, kPanelTop + 144, 0, 0}, kLeft | kTop, kTextSize},
    {IdUrl, {kPanelLeft + 96, kPanelTop + 168, 0, 0}, kLeft | kTop, kTextSize},
    {IdAboutOk, {128, 208, 75, 25}, kLeft | kTop, kContentSize},
};

} // namespace

TAboutBox::TAboutBox() = default;

TAboutBox::~TAboutBox() = default;

bool TAboutBox::Create() {
    if (!CreateModal("TAboutBox", "About...", 337, 240))
        return false;
    HWND h = Handle();
    const DWORD label = WS_VISIBLE | SS_LEFTNOWORDWRAP;
    AddChildControl(h, IdProductName, WC_STATICA, "Vantrell", label);
    AddChildControl(h, IdVersion, WC_STATICA, "Version ?", label | SS_CENTERIMAGE);
    AddChildControl(h, IdCopyright, WC_STATICA, VANTRELL_MAKER, label);
    AddChildControl(h, IdComments1, WC_STATICA, "", label);
    AddChildControl(h, IdComments2, WC_STATICA, "", label);
    AddChildControl(h, IdDonateLabel1, WC_STATICA,
                    "Please support this free software by making a small", label);
    AddChildControl(h, IdDonateLabel2, WC_STATICA, "Donation", label | SS_NOTIFY);
    AddChildControl(h, IdUrl, WC_STATICA, VANTRELL_WEB_SITE, label | SS_NOTIFY);
    AddChildControl(h, IdAboutOk, WC_BUTTONA, "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    ApplyDpi(WindowDpi(h));
    return true;
}

void TAboutBox::ApplyDpi(int dpi) {
    scale_ = Scale{dpi};
    Font font(CreateUiFont(scale_(11)));
    Font productFont(CreateUiFont(scale_(24), true));
    SetControlFonts(Handle(), font.get());
    const int product[] = {IdProductName};
    SetControlFonts(Handle(), productFont.get(), product, 1);
    font_ = std::move(font);
    productFont_ = std::move(productFont);
    // The icon drawn for the size, from the sizes the icon resource holds.
    const int iconSize = scale_(kIconDesignSize);
    icon_ = ProgramIcon(iconSize);
    glyphs_.Apply(Control(IdAboutOk), IDB_GLYPH_OK, BUTTON_IMAGELIST_ALIGN_LEFT, scale_);
    LayOut();
}

void TAboutBox::LayOut() {
    PlaceControls(Handle(), kPlaces, sizeof kPlaces / sizeof kPlaces[0], scale_);
    // The link word follows the sentence on its line, even where the font runs wider.
    const RECT sentence = ControlRect(Handle(), Control(IdDonateLabel1));
    const RECT word = ControlRect(Handle(), Control(IdDonateLabel2));
    const int after = sentence.right + scale_(3);
    if (after > word.left)
        SetWindowPos(Control(IdDonateLabel2), nullptr, after, word.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TAboutBox::FormShow() {
    FileInfo1.SetFilename(ExecutablePath());
    SetWindowTextA(Control(IdVersion), FileInfo1.Version().Text.c_str());
    LayOut();
}

std::string TAboutBox::Text(AboutControlId id) const {
    char text[256] = "";
    GetWindowTextA(Control(id), text, sizeof text);
    return text;
}

void TAboutBox::Paint() {
    const Painting paint(Handle());
    const HDC dc = paint.dc();
    RECT panel = ToRect(scale_(kPanel1)), bevel = ToRect(scale_(kBevel1));
    DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    DrawEdge(dc, &bevel, BDR_SUNKENOUTER, BF_RECT);
    const Box icon = scale_(kProgramIcon);
    if (icon_.valid())
        DrawIconEx(dc, icon.left, icon.top, icon_.get(), icon.width, icon.height, 0, nullptr,
                   DI_NORMAL);
}

void TAboutBox::URLClick() {
    ShellExecuteA(Handle(), nullptr, VANTRELL_WEB_SITE, nullptr, nullptr, SW_SHOWNORMAL);
}

void TAboutBox::DonateClick() {
    ShellExecuteA(Handle(), nullptr, VANTRELL_DONATE_PAGE, nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            EndModal(); // OK and Enter; Esc (IDCANCEL) does not close the box
        else if (LOWORD(wParam) == IdUrl && HIWORD(wParam) == STN_CLICKED)
            URLClick();
        else if (LOWORD(wParam) == IdDonateLabel2 && HIWORD(wParam) == STN_CLICKED)
            DonateClick();
        return 0;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        if (id == IdProductName)
            SetTextColor(dc, RGB(0, 0, 128));
        else if (id == IdUrl || id == IdDonateLabel2)
            SetTextColor(dc, RGB(0, 0, 255));
        else
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
        if (id == IdUrl || id == IdDonateLabel2) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    }
    return ModalWindow::HandleMessage(message, wParam, lParam);
}
