// The main window's controls: one table of them (design at 96 dots per inch, glyphs, hints,
// busy and idle states, clicks), their creation, and their places and fonts at the window's
// resolution.
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

const DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kField = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
const int kLeftGlyph = BUTTON_IMAGELIST_ALIGN_LEFT;
const DWORD kList =
    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
const DWORD kLogView =
    WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
const Box kByPanel = {0, 0, 0, 0}; // placed by the panel split, not by the table
const Enabled kNo = Enabled::No, kYes = Enabled::Yes, kKeep = Enabled::Unchanged;

} // namespace

// In creation order, which is the tab order. Delete Files is enabled only by the idle state
// of a scan that found old files; the list and the log view are placed by the panel split.
// One control a row, its fields in the order of ControlRow.
// clang-format off
const ControlRow<TForm1> TForm1::kControls[kControlCount] = {
    {IdScanNow, WC_BUTTONA, "Scan Now", kButton, 0,
     {8, 96, 89, 25}, kLeft | kTop, kContentSize, IDB_GLYPH_SCAN, kLeftGlyph,
     "Scan for files older than specified days (Does not delete)", kNo, kYes, &TForm1::ScanNowClick},
    {IdDelete, WC_BUTTONA, "Delete Files", kButton | WS_DISABLED, 0,
     {105, 96, 89, 25}, kLeft | kTop, kContentSize, IDB_GLYPH_DELETE, kLeftGlyph,
     "Delete the files listed below.", kNo, kKeep, &TForm1::DeleteFilesClick},
    {IdStop, WC_BUTTONA, "&Stop", kButton | WS_DISABLED, 0,
     {201, 96, 75, 25}, kLeft | kTop, kContentSize, IDB_GLYPH_STOP, kLeftGlyph,
     "Stop the current operation.", kYes, kNo, &TForm1::StopBitBtnClick},
    {IdAbout, WC_BUTTONA, "&About...", kButton, 0,
     {8, 435, 75, 25}, kLeft | kBottom, kContentSize, IDB_GLYPH_QUESTION, kLeftGlyph,
     nullptr, kKeep, kKeep, &TForm1::AboutBitBtnClick},
    {IdHelp, WC_BUTTONA, "&Help", kButton, 0,
     {96, 435, 75, 25}, kLeft | kBottom, kContentSize, IDB_GLYPH_QUESTION, kLeftGlyph,
     nullptr, kKeep, kKeep, &TForm1::HelpBitBtnClick},
    {IdClose, WC_BUTTONA, "&Close", kButton, 0,
     {535, 435, 75, 25}, kRight | kBottom, kContentSize, IDB_GLYPH_CLOSE, kLeftGlyph,
     "Exit the application.", kNo, kYes, &TForm1::CloseBitBtnClick},
    {IdDaysOldEdit, WC_EDITA, "30", kField, WS_EX_CLIENTEDGE,
     {132, 10, 33, 22}, kLeft | kTop, kDesignSize, 0, 0,
     "The number of days files must be before being deleted.", kNo, kYes, nullptr},
    {IdDaysUpDown, UPDOWN_CLASSA, nullptr, WS_VISIBLE, 0,
     {165, 10, 16, 22}, kLeft | kTop, kDesignSize, 0, 0,
     nullptr, kNo, kYes, nullptr},
    {IdSaveSettings, WC_BUTTONA, "Save Settings", kButton, 0,
     {502, 16, 97, 25}, kLeft | kTop, kContentSize, IDB_GLYPH_SAVE, kLeftGlyph,
     "Save the number of days and path settings.", kNo, kYes, &TForm1::SaveSettingsButtonClick},
    {IdDrivePathEdit, WC_EDITA, "", kField | ES_READONLY, WS_EX_CLIENTEDGE,
     {16, 56, 553, 21}, kLeft | kTop, kDesignSize, 0, 0,
     "Use the button to select the drive/path you want to search.", kKeep, kKeep, nullptr},
    {IdListView, WC_LISTVIEWA, "", kList, WS_EX_CLIENTEDGE,
     kByPanel, 0, kDesignSize, 0, 0,
     nullptr, kKeep, kKeep, nullptr},
    {IdMemo, WC_EDITA, "", kLogView, WS_EX_CLIENTEDGE,
     kByPanel, 0, kDesignSize, 0, 0,
     nullptr, kKeep, kKeep, nullptr},
    {IdSelectDrivePath, WC_BUTTONA, "", WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, 0,
     {576, 56, 23, 22}, kLeft | kTop, kDesignSize, IDB_GLYPH_FOLDER, BUTTON_IMAGELIST_ALIGN_CENTER,
     "Choose another search drive/path.", kNo, kYes, &TForm1::DrivePathButtonClick},
    {IdProgressBar, PROGRESS_CLASSA, nullptr, WS_DISABLED, 0,
     {289, 96, 321, 25}, kLeft | kTop, kGivesWay, 0, 0,
     nullptr, kYes, kNo, nullptr},
    {IdLabel1, WC_STATICA, "Remove files older than", WS_VISIBLE, 0,
     {16, 18, 114, 13}, kLeft | kTop, kTextSize, 0, 0,
     nullptr, kKeep, kKeep, nullptr},
    {IdLabel2, WC_STATICA, "days.", WS_VISIBLE, 0,
     {184, 18, 30, 13}, kLeft | kTop, kTextSize, 0, 0,
     nullptr, kKeep, kKeep, nullptr},
    {IdDrivePathLabel, WC_STATICA, "Drive Path to Search:", WS_VISIBLE, 0,
     {16, 40, 120, 13}, kLeft | kTop, kTextSize, 0, 0,
     nullptr, kKeep, kKeep, nullptr},
};
// clang-format on

bool TForm1::Create() {
    // Sized for the resolution new windows start with; a screen of another one sends
    // WM_DPICHANGED as soon as the window stands on it.
    const int dpi = SystemDpi();
    const Scale scale{dpi};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const SIZE outer =
        OuterSize(scale(kDesignClientWidth), scale(kDesignClientHeight), style, 0, dpi);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    // Not layered: the window is first shown when the run opens it for use, so nothing
    // needs hiding before. (Wine restored a maximised window whose layered
    // style was switched off afterwards.)
    return CreateTopLevel("TForm1", "Vantrell", style, 0, outer.cx, outer.cy, icon);
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
    for (const ControlRow<TForm1>& row : kControls) {
        HWND control = CreateControl(Handle(), row);
        if (row.hint)
            AddHint(control, row.hint);
        if (row.click)
            routes_.On(row.id, BN_CLICKED, [this, click = row.click] { (this->*click)(); });
    }
    // Esc: the window's cancel button is Stop, while it is enabled.
    routes_.On(IDCANCEL, BN_CLICKED, [this] {
        if (IsWindowEnabled(Control(IdStop)))
            StopBitBtnClick();
    });
    routes_.On(IdDaysOldEdit, EN_KILLFOCUS, [this] { DaysOldEditExit(); });

    HWND list = Control(IdListView);
    foundView_.Attach(list);
    // No limit of the control's own: beyond the default 30,000 characters it would stop
    // taking lines, and one below a long line would cut it. The view keeps its newest
    // kLogViewTail bytes itself (see the view's AppendText).
    SendMessageA(Control(IdMemo), EM_SETLIMITTEXT, 0, 0);
    SendMessageA(Control(IdDaysOldEdit), EM_LIMITTEXT, kDaysMaxLength, 0);
    SendMessageA(Control(IdDaysUpDown), UDM_SETRANGE32, kMinDays, kMaxDays);
    SendMessageA(Control(IdProgressBar), PBM_SETRANGE32, 0, 100);
    SendMessageA(Control(IdProgressBar), PBM_SETSTEP, 10, 0);
    SubclassControls();

    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < FoundList::kColumnCount; ++i) {
        const FoundColumn& found = FoundList::kColumns[i];
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(found.caption);
        column.cx = found.width;
        column.fmt = found.alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
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
    ApplyGlyphs(Handle(), kControls, glyphs_, scale_);
    // Column widths, the user's own included, and the minimum size keep their share.
    for (int i = 0; i < FoundList::kColumnCount; ++i) {
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
    for (int i = 0; i < FoundList::kColumnCount; ++i) {
        const int need = TextExtent(header, font, FoundList::kColumns[i].caption).cx + margins;
        if (ListView_GetColumnWidth(list, i) < need)
            ListView_SetColumnWidth(list, i, need);
    }
}

void TForm1::LayOut() {
    RECT client;
    GetClientRect(Handle(), &client);
    const std::vector<ControlPlace> places = PlacesOf(kControls);
    PlaceControls(Handle(), places.data(), places.size(), scale_,
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
    const Painting paint(Handle());
    RECT frame = BevelRect();
    DrawEdge(paint.dc(), &frame, BDR_SUNKENOUTER, BF_RECT);
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
