#include "ui/about_box.h"

#include "ui/fonts.h"
#include "app/program_location.h"

#include "app/web_links.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

const int kPanelLeft = 8, kPanelTop = 8;
const RECT kPanel1 = {8, 8, 8 + 321, 8 + 193};
const RECT kBevel1 = {kPanelLeft + 8, kPanelTop + 8, kPanelLeft + 8 + 65, kPanelTop + 8 + 65};
const RECT kProgramIcon = {kPanelLeft + 24, kPanelTop + 24, kPanelLeft + 24 + 33,
                           kPanelTop + 24 + 33};

} // namespace

TAboutBox::TAboutBox() = default;

TAboutBox::~TAboutBox() = default;

bool TAboutBox::Create() {
    if (!CreateModal("TAboutBox", "About...", 337, 240))
        return false;
    font_.reset(CreateUiFont());
    productFont_.reset(CreateUiFont(24, true));
    icon_.reset(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 32, 32, 0)));
    Label(IdProductName, "Vantrell", kPanelLeft + 88, kPanelTop + 21, productFont_.get());
    Label(IdVersion, "Version ?", kPanelLeft + 89, kPanelTop + 48, font_.get(), SS_CENTERIMAGE);
    Label(IdCopyright, VANTRELL_MAKER, kPanelLeft + 16, kPanelTop + 88, font_.get());
    Label(IdComments1, "", kPanelLeft + 16, kPanelTop + 104, font_.get());
    Label(IdComments2, "", kPanelLeft + 16, kPanelTop + 120, font_.get());
    HWND donate = Label(IdDonateLabel1, "Please support this free software by making a small",
                        kPanelLeft + 16, kPanelTop + 144, font_.get());
    // The link word follows the sentence on its line, even where the font runs wider.
    RECT sentence;
    GetWindowRect(donate, &sentence);
    const int after = kPanelLeft + 16 + (sentence.right - sentence.left) + 3;
    Label(IdDonateLabel2, "Donation", after > kPanelLeft + 259 ? after : kPanelLeft + 259,
          kPanelTop + 144, font_.get(), SS_NOTIFY);
    Label(IdUrl, VANTRELL_WEB_SITE, kPanelLeft + 96, kPanelTop + 168, font_.get(), SS_NOTIFY);
    HWND ok = CreateWindowExA(
        0, WC_BUTTONA, "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 128, 208, 75,
        25, Handle(), reinterpret_cast<HMENU>(IDOK), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    glyphs_.Apply(ok, IDB_GLYPH_OK, BUTTON_IMAGELIST_ALIGN_LEFT);
    return true;
}

HWND TAboutBox::Label(int id, const char* text, int left, int top, HFONT font, DWORD style) {
    // Labels size themselves to their text.
    const SIZE size = TextExtent(Handle(), font, text);
    HWND label = CreateWindowExA(
        0, WC_STATICA, text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | style, left, top,
        size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 13, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return label;
}

void TAboutBox::FormShow() {
    FileInfo1.SetFilename(ExecutablePath());
    HWND version = Control(IdVersion);
    SetWindowTextA(version, FileInfo1.Version().Text.c_str());
    const SIZE size = TextExtent(version, font_.get(), FileInfo1.Version().Text);
    SetWindowPos(version, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

std::string TAboutBox::Text(AboutControlId id) const {
    char text[256] = "";
    GetWindowTextA(Control(id), text, sizeof text);
    return text;
}

void TAboutBox::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT panel = kPanel1, bevel = kBevel1;
    DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    DrawEdge(dc, &bevel, BDR_SUNKENOUTER, BF_RECT);
    if (icon_.valid())
        DrawIconEx(dc, kProgramIcon.left, kProgramIcon.top, icon_.get(), 33, 33, 0, nullptr,
                   DI_NORMAL);
    EndPaint(Handle(), &paint);
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
