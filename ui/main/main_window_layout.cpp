// The main window's controls: their design at 96 dots per inch, their creation, and their
// places and fonts at the window's resolution.
#include "ui/main/main_window.h"

#include "ui/toolkit/fonts.h"

#include "fs/current_directory.h"
#include "fs/path_text.h"
#include "command/errors.h"
#include "base/program_location.h"
#include "command/settings.h"
#include "delete/file_deletion.h"
#include "resources/resource_ids.h"
#include "scan/scan_command.h"
#include "ui/toolkit/child_controls.h"
#include "base/days.h"
#include "ui/toolkit/dpi.h"
#include "ui/toolkit/error_report.h"
#include "ui/toolkit/layout.h"
#include "ui/chooser/path_chooser.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

const int kDesignClientWidth = 617;
const int kDesignClientHeight = 466;
const Box kPanel1 = {8, 128, 601, 300};
const Box kBevel1 = {8, 6, 602, 79};

// Design positions in client coordinates at 96 dots per inch, with the edges each control
// keeps its distance to; labels take the size of their text.
const ControlPlace kPlaces[] = {
    {IdLabel1, {16, 18, 114, 13}, kLeft | kTop, kTextSize},
    {IdDaysOldEdit, {132, 10, 33, 22}, kLeft | kTop, kDesignSize},
    {IdDaysUpDown, {165, 10, 16, 22}, kLeft | kTop, kDesignSize},
    {IdLabel2, {184, 18, 30, 13}, kLeft | kTop, kTextSize},
    {IdSaveSettings, {502, 16, 97, 25}, kLeft | kTop, kContentSize},
    {IdDrivePathLabel, {16, 40, 120, 13}, kLeft | kTop, kTextSize},
    {IdDrivePathEdit, {16, 56, 553, 21}, kLeft | kTop, kDesignSize},
    {IdSelectDrivePath, {576, 56, 23, 22}, kLeft | kTop, kDesignSize},
    {IdScanNow, {8, 96, 89, 25}, kLeft | kTop, kContentSize},
    {IdDelete, {105, 96, 89, 25}, kLeft | kTop, kContentSize},
    {IdStop, {201, 96, 75, 25}, kLeft | kTop, kContentSize},
    {IdProgressBar, {289, 96, 321, 25}, kLeft | kTop, kGivesWay},
    {IdAbout, {8, 435, 75, 25}, kLeft | kBottom, kContentSize},
    {IdHelp, {96, 435, 75, 25}, kLeft | kBottom, kContentSize},
    {IdClose, {535, 435, 75, 25}, kRight | kBottom, kContentSize},
};

const struct {
    ControlId id;
    int resource;
    int alignment;
} kGlyphs[] = {
    {IdScanNow, IDB_GLYPH_SCAN, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdDelete, IDB_GLYPH_DELETE, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdStop, IDB_GLYPH_STOP, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdAbout, IDB_GLYPH_QUESTION, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdHelp, IDB_GLYPH_QUESTION, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdClose, IDB_GLYPH_CLOSE, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdSaveSettings, IDB_GLYPH_SAVE, BUTTON_IMAGELIST_ALIGN_LEFT},
    {IdSelectDrivePath, IDB_GLYPH_FOLDER, BUTTON_IMAGELIST_ALIGN_CENTER},
};

const struct {
    const char* caption;
    int width;
    int format;
} kColumns[5] = {{"File", 350, LVCFMT_LEFT},
                 {"Created", 120, LVCFMT_LEFT},
                 {"Modified", 120, LVCFMT_LEFT},
                 {"Accessed", 120, LVCFMT_LEFT},
                 {"Age (Days)", 70, LVCFMT_RIGHT}};

} // namespace

bool TForm1::Create() {
    // Sized for the resolution new windows start with; a screen of another one sends
    // WM_DPICHANGED as soon as the window stands on it.
    const int dpi = SystemDpi();
    const Scale scale{dpi};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const SIZE outer =
        OuterSize(scale(kDesignClientWidth), scale(kDesignClientHeight), style, 0, dpi);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    // Not layered: the window is first shown by Init, once it has chosen interactive mode,
    // so nothing needs hiding before. (Wine restored a maximised window whose layered
    // style was switched off afterwards.)
    if (!CreateTopLevel("TForm1", "Vantrell", style, 0, outer.cx, outer.cy, icon))
        return false;
    return Form2.Create() && AboutBox.Create();
}

void TForm1::AddHint(HWND control, const char* hint) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm1::CreateControls() {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    // Creation order is the tab order.
    HWND scan = AddChildControl(Handle(), IdScanNow, WC_BUTTONA, "Scan Now", button, 0);
    HWND del =
        AddChildControl(Handle(), IdDelete, WC_BUTTONA, "Delete Files", button | WS_DISABLED, 0);
    HWND stop = AddChildControl(Handle(), IdStop, WC_BUTTONA, "&Stop", button | WS_DISABLED, 0);
    AddChildControl(Handle(), IdAbout, WC_BUTTONA, "&About...", button, 0);
    AddChildControl(Handle(), IdHelp, WC_BUTTONA, "&Help", button, 0);
    HWND close = AddChildControl(Handle(), IdClose, WC_BUTTONA, "&Close", button, 0);
    HWND days = AddChildControl(Handle(), IdDaysOldEdit, WC_EDITA, "30",
                                WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    HWND spin = AddChildControl(Handle(), IdDaysUpDown, UPDOWN_CLASSA, nullptr, WS_VISIBLE, 0);
    HWND save = AddChildControl(Handle(), IdSaveSettings, WC_BUTTONA, "Save Settings", button, 0);
    HWND path =
        AddChildControl(Handle(), IdDrivePathEdit, WC_EDITA, "",
                        WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE);
    HWND list = AddChildControl(Handle(), IdListView, WC_LISTVIEWA, "",
                                WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                WS_EX_CLIENTEDGE);
    foundView_.Attach(list);
    HWND memo = AddChildControl(Handle(), IdMemo, WC_EDITA, "",
                                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL,
                                WS_EX_CLIENTEDGE);
    // No limit of the control's own: beyond the default 30,000 characters it would stop
    // taking lines, and one below a long line would cut it. The view keeps its newest
    // kLogViewTail bytes itself (see the log's host).
    SendMessageA(memo, EM_SETLIMITTEXT, 0, 0);
    HWND folder = AddChildControl(Handle(), IdSelectDrivePath, WC_BUTTONA, "",
                                  WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, 0);
    AddChildControl(Handle(), IdProgressBar, PROGRESS_CLASSA, nullptr, WS_DISABLED, 0);
    AddChildControl(Handle(), IdLabel1, WC_STATICA, "Remove files older than", WS_VISIBLE, 0);
    AddChildControl(Handle(), IdLabel2, WC_STATICA, "days.", WS_VISIBLE, 0);
    AddChildControl(Handle(), IdDrivePathLabel, WC_STATICA, "Drive Path to Search:", WS_VISIBLE, 0);

    SendMessageA(days, EM_LIMITTEXT, kDaysMaxLength, 0);
    SendMessageA(spin, UDM_SETRANGE32, kMinDays, kMaxDays);
    SendMessageA(Control(IdProgressBar), PBM_SETRANGE32, 0, 100);
    SendMessageA(Control(IdProgressBar), PBM_SETSTEP, 10, 0);
    for (HWND subclassed : {days, path, folder})
        SetWindowSubclass(subclassed, ControlProc, 1, reinterpret_cast<DWORD_PTR>(this));

    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(kColumns[i].caption);
        column.cx = kColumns[i].width;
        column.fmt = kColumns[i].format;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }

    AddHint(days, "The number of days files must be before being deleted.");
    AddHint(save, "Save the number of days and path settings.");
    AddHint(path, "Use the button to select the drive/path you want to search.");
    AddHint(folder, "Choose another search drive/path.");
    AddHint(scan, "Scan for files older than specified days (Does not delete)");
    AddHint(del, "Delete the files listed below.");
    AddHint(stop, "Stop the current operation.");
    AddHint(close, "Exit the application.");
    ApplyDpi(WindowDpi(Handle()));
}

void TForm1::ApplyDpi(int dpi) {
    const Scale before = scale_;
    scale_ = Scale{dpi};
    // The controls take the new font before the old one is freed.
    Font font(CreateUiFont(scale_(11)));
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    SetControlFonts(Handle(), font.get());
    font_ = std::move(font);
    SetWindowIcons();
    for (const auto& glyph : kGlyphs)
        glyphs_.Apply(Control(glyph.id), glyph.resource, glyph.alignment, scale_);
    // Column widths, the user's own included, and the minimum size keep their share.
    for (int i = 0; i < 5; ++i) {
        const int width = ListView_GetColumnWidth(Control(IdListView), i);
        ListView_SetColumnWidth(Control(IdListView), i, MulDiv(width, dpi, before.dpi));
    }
    FitColumnsToHeaders();
    if (minimumSize_.cx > 0)
        minimumSize_ = {MulDiv(minimumSize_.cx, dpi, before.dpi),
                        MulDiv(minimumSize_.cy, dpi, before.dpi)};
    LayOut();
}

// The title bar's and the task bar's icons, drawn for the size from the sizes the icon
// resource holds.
void TForm1::SetWindowIcons() {
    for (auto [kind, size] : {std::pair<WPARAM, int>{ICON_BIG, 32}, {ICON_SMALL, 16}}) {
        Icon fresh = ProgramIcon(scale_(size));
        if (!fresh.valid())
            continue; // the window keeps the icon it has
        SendMessageA(Handle(), WM_SETICON, kind, reinterpret_cast<LPARAM>(fresh.get()));
        (kind == ICON_BIG ? bigIcon_ : smallIcon_) = std::move(fresh);
    }
}

// A column narrower than its caption, with the header's margins either side, is widened.
void TForm1::FitColumnsToHeaders() {
    HWND list = Control(IdListView);
    HWND header = ListView_GetHeader(list);
    const int margins = 2 * static_cast<int>(SendMessageA(header, HDM_GETBITMAPMARGIN, 0, 0));
    const auto font = reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0));
    for (int i = 0; i < 5; ++i) {
        const int need = TextExtent(header, font, kColumns[i].caption).cx + margins;
        if (ListView_GetColumnWidth(list, i) < need)
            ListView_SetColumnWidth(list, i, need);
    }
}

void TForm1::LayOut() {
    RECT client;
    GetClientRect(Handle(), &client);
    PlaceControls(Handle(), kPlaces, sizeof kPlaces / sizeof kPlaces[0], scale_,
                  client.right - scale_(kDesignClientWidth),
                  client.bottom - scale_(kDesignClientHeight));
    InvalidateRect(Handle(), nullptr, TRUE);
    Panel1Resize();
}

RECT TForm1::BevelRect() const {
    RECT client;
    GetClientRect(Handle(), &client);
    const Box box = Anchored(scale_(kBevel1), kLeft | kTop | kRight,
                             client.right - scale_(kDesignClientWidth), 0);
    return ToRect(box);
}

void TForm1::PaintBevel() {
    // Bevel1 is drawn by the window itself: a frame with no window of its own.
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT frame = BevelRect();
    DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    EndPaint(Handle(), &paint);
}

void TForm1::Panel1Resize() {
    RECT client;
    GetClientRect(Handle(), &client);
    const Box panel = Anchored(scale_(kPanel1), kLeft | kTop | kRight | kBottom,
                               client.right - scale_(kDesignClientWidth),
                               client.bottom - scale_(kDesignClientHeight));
    const PanelSplit split = SplitPanel(panel.height, scale_(8));
    MoveWindow(Control(IdListView), panel.left, panel.top + split.listTop, panel.width,
               split.listHeight, TRUE);
    MoveWindow(Control(IdMemo), panel.left, panel.top + split.logTop, panel.width,
               split.logHeight > 0 ? split.logHeight : 0, TRUE);
}
