#include "ui/main_window.h"

#include "ui/fonts.h"

#include "app/command_line.h"
#include "fs/current_directory.h"
#include "fs/path_text.h"
#include "app/errors.h"
#include "app/program_location.h"
#include "app/run_modes.h"
#include "app/settings.h"
#include "app/text_file.h"
#include "delete/file_deletion.h"
#include "resources/resource_ids.h"
#include "scan/scan_command.h"
#include "ui/child_controls.h"
#include "ui/days_field.h"
#include "ui/dpi.h"
#include "ui/error_report.h"
#include "ui/layout.h"
#include "ui/path_chooser.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

const UINT kInitMessage = WM_APP + 1;
// The last lines of unattended runs that could not do their work.
const char kCloseLine[] = "ERROR: The run was ended early: the program was asked to close.";
const char kSessionEndLine[] = "ERROR: The run was ended early: the Windows session is ending.";
const char kNoDesktopLine[] = "ERROR: No one can see this desktop: a run here needs exactly two "
                              "parameters, a path and a number of days.";
const UINT_PTR kTimer1 = 1;
const DWORD kPumpIntervalMs = 5;
const DWORD kListRefreshMs = 200;
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

char ReadDecimalSeparator() {
    char buffer[8];
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1
               ? buffer[0]
               : '.';
}

} // namespace

TForm1::TForm1()
    : formats_(RegionalFormats::FromSystem()), decimalSeparator_(ReadDecimalSeparator()) {
    log_.AttachView(this);
}

TForm1::~TForm1() = default;

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

void TForm1::Show(int showCommand) {
    // The window becomes visible only once Init has chosen interactive mode, so an
    // unattended run is never seen, also where layered windows are not composited.
    showCommand_ = showCommand;
    PostMessageA(Handle(), kInitMessage, 0, 0);
}

void TForm1::DispatchLoopMessage(MSG& msg) {
    if (!IsDialogMessageA(Handle(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---------------------------------------------------------------- controls

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
    HWND memo = AddChildControl(Handle(), IdMemo, WC_EDITA, "",
                                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL,
                                WS_EX_CLIENTEDGE);
    HWND folder = AddChildControl(Handle(), IdSelectDrivePath, WC_BUTTONA, "",
                                  WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, 0);
    AddChildControl(Handle(), IdProgressBar, PROGRESS_CLASSA, nullptr, WS_DISABLED, 0);
    AddChildControl(Handle(), IdLabel1, WC_STATICA, "Remove files older than", WS_VISIBLE, 0);
    AddChildControl(Handle(), IdLabel2, WC_STATICA, "days.", WS_VISIBLE, 0);
    AddChildControl(Handle(), IdDrivePathLabel, WC_STATICA, "Drive Path to Search:", WS_VISIBLE, 0);

    SendMessageA(days, EM_LIMITTEXT, kDaysMaxLength, 0);
    SendMessageA(spin, UDM_SETRANGE32, kMinDays, kMaxDays);
    SendMessageA(memo, EM_SETLIMITTEXT, 0, 0);
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

// ---------------------------------------------------------------- message handling

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_PAINT:
        PaintBevel();
        return 0;
    case kInitMessage:
        if (RunGuardedOutcome([this] { Init(); },
                              [this](const std::string& message) {
                                  ReturnToIdle();
                                  Enable(IdDelete, false);
                                  if (!state_.interactive)
                                      log_.Add(ErrorReportText(message));
                              }) != Outcome::Completed)
            EndAfterFailedStart();
        if (closePending_)
            DestroyWindow(Handle());
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
        if (wParam == kTimer1)
            Timer1Timer();
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            LayOut();
        return 0;
    case WM_WINDOWPOSCHANGING:
        KeepMaximisedSize(*reinterpret_cast<WINDOWPOS*>(lParam));
        return Default(message, wParam, lParam);
    case WM_GETMINMAXINFO:
        if (minimumSize_.cx > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = minimumSize_.cx;
            info->ptMinTrackSize.y = minimumSize_.cy;
        }
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        // The session may end; an unattended run stops at its next item.
        RequestEnd(kSessionEndLine);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            OnEndSession();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(returnCode_);
        return 0;
    }
    return Default(message, wParam, lParam);
}

void TForm1::OnCommand(int id, int code) {
    if (id == IdDaysOldEdit && code == EN_KILLFOCUS) {
        const std::string text = DaysText();
        const std::string fixed = DaysTextOnExit(text);
        if (fixed != text)
            SetDaysText(fixed);
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IdScanNow:
        RunCommand(&TForm1::ScanNowClick);
        break;
    case IdDelete:
        RunCommand(&TForm1::DeleteFilesClick);
        break;
    case IdStop:
        StopBitBtnClick();
        break;
    case IDCANCEL: // Esc: the window's cancel button is Stop, while it is enabled
        if (IsWindowEnabled(Control(IdStop)))
            StopBitBtnClick();
        break;
    case IdSaveSettings:
        RunGuarded([this] { SaveSettingsButtonClick(); });
        break;
    case IdSelectDrivePath:
        RunGuarded([this] { DrivePathButtonClick(); });
        break;
    case IdHelp:
        RunGuarded([this] { HelpBitBtnClick(); });
        break;
    case IdAbout:
        RunGuarded([this] { AboutBitBtnClick(); });
        break;
    case IdClose:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        break;
    }
}

LRESULT TForm1::OnNotify(NMHDR* header) {
    if (header->idFrom == IdListView && header->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 &&
            static_cast<size_t>(item.iItem) < found_.Count() && item.iSubItem >= 0 &&
            item.iSubItem < 5 && item.cchTextMax > 0)
            lstrcpynA(item.pszText, found_.Text(static_cast<size_t>(item.iItem), item.iSubItem),
                      item.cchTextMax);
        return 0;
    }
    if (header->idFrom == IdListView && header->code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 &&
            static_cast<size_t>(item.iItem) < found_.Count() && item.iSubItem >= 0 &&
            item.iSubItem < 5 && item.cchTextMax > 0) {
            const char* text = found_.Text(static_cast<size_t>(item.iItem), item.iSubItem);
            if (!MultiByteToWideChar(CP_ACP, 0, text, -1, item.pszText, item.cchTextMax))
                item.pszText[0] = 0;
            item.pszText[item.cchTextMax - 1] = 0;
        }
        return 0;
    }
    if (header->idFrom == IdDaysUpDown && header->code == UDN_DELTAPOS) {
        const auto* change = reinterpret_cast<NMUPDOWN*>(header);
        SetDaysText(std::to_string(SteppedDays(DaysText(), change->iDelta > 0 ? 1 : -1)));
        return TRUE; // the field's text is the value; the control keeps no position of its own
    }
    return 0;
}

void TForm1::OnClose() {
    if (RequestEnd(kCloseLine))
        return;
    if (busy_) {
        // Destroying the window under a running loop would lose the log: stop it first,
        // and close as soon as the operation has ended.
        closePending_ = true;
        state_.stop = true;
        return;
    }
    DestroyWindow(Handle());
}

bool TForm1::RequestEnd(const char* reason) {
    if (state_.interactive || !busy_)
        return false;
    // An unattended run stops at the next item as Stop does, says why, and ends with 2.
    if (state_.stopReason.empty())
        state_.stopReason = reason;
    state_.stop = true;
    closePending_ = true;
    return true;
}

void TForm1::OnEndSession() {
    // The process may end as soon as this returns: leave the log with the reason now. If it
    // goes on, the stop writes the same line again at the next item.
    if (!RequestEnd(kSessionEndLine))
        return;
    try {
        WriteWholeFile(state_.programDirectory + kLogFileName,
                       log_.Text() + state_.stopReason + "\r\n");
    } catch (const AppError&) {
    }
}

void TForm1::RunCommand(void (TForm1::*command)()) {
    RunGuardedOutcome([&] { (this->*command)(); },
                      [this](const std::string&) {
                          ReturnToIdle();
                          Enable(IdDelete, false);
                      });
    if (closePending_)
        DestroyWindow(Handle());
}

void TForm1::EndAfterFailedStart() {
    // A start that was cut short by an error or a silent abort must not leave an invisible
    // process waiting: end it with return code 2.
    try {
        ExitProgram(2);
    } catch (...) {
        returnCode_ = 2;
        PostQuitMessage(2);
    }
}

LRESULT CALLBACK TForm1::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<TForm1*>(data);
    bool handled = false;
    LRESULT result = 0;
    RunGuarded([&] {
        const int id = GetDlgCtrlID(hwnd);
        if (id == IdDaysOldEdit) {
            result = self->DaysEditMessage(hwnd, message, wParam, lParam, handled);
        } else if (id == IdDrivePathEdit && message == WM_GETDLGCODE) {
            // Entering the path field by Tab leaves its text unselected.
            result = DefSubclassProc(hwnd, message, wParam, lParam) & ~DLGC_HASSETSEL;
            handled = true;
        } else if (id == IdSelectDrivePath && message == WM_SETFOCUS) {
            // The path button never takes the keyboard focus: hand it back.
            if (wParam)
                SetFocus(reinterpret_cast<HWND>(wParam));
            handled = true;
        }
    });
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, ControlProc, 1);
    return handled ? result : DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT TForm1::DaysEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                bool& handled) {
    switch (message) {
    case WM_GETDLGCODE:
        handled = true;
        // Enter comes to the field (and is refused there); Tab and Esc stay with the window.
        if (lParam && reinterpret_cast<MSG*>(lParam)->wParam == VK_RETURN)
            return DefSubclassProc(edit, message, wParam, lParam) | DLGC_WANTMESSAGE;
        return DefSubclassProc(edit, message, wParam, lParam);
    case WM_CHAR:
        if (!IsDaysCharAccepted(static_cast<char>(wParam), decimalSeparator_)) {
            MessageBeep(MB_OK);
            handled = true;
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) {
            SetDaysText(std::to_string(SteppedDays(DaysText(), wParam == VK_UP ? 1 : -1)));
            handled = true;
        }
        return 0;
    }
    return 0;
}

// ---------------------------------------------------------------- fields

std::string TForm1::DaysText() const {
    return ControlText(Control(IdDaysOldEdit));
}

void TForm1::SetDaysText(const std::string& text) {
    SetWindowTextA(Control(IdDaysOldEdit), text.c_str());
}

int32_t TForm1::DaysValue() {
    return DaysValueOf(DaysText());
}

std::string TForm1::RootPath() {
    return ControlText(Control(IdDrivePathEdit));
}

void TForm1::SetDrivePath(const std::string& path) {
    SetWindowTextA(Control(IdDrivePathEdit), path.c_str());
}

// ---------------------------------------------------------------- states

void TForm1::EnterBusy() {
    busy_ = true;
    // The keyboard goes to Stop, the one command that works now, rather than to a control
    // that is about to be disabled.
    const bool hadFocus = GetFocus() != nullptr && GetParent(GetFocus()) == Handle();
    SendMessageA(Control(IdProgressBar), PBM_SETPOS, 0, 0);
    Enable(IdScanNow, false);
    Enable(IdDelete, false);
    Enable(IdClose, false);
    Enable(IdStop, true);
    if (hadFocus)
        SetFocus(Control(IdStop));
    Enable(IdDaysOldEdit, false);
    Enable(IdDaysUpDown, false);
    Enable(IdSelectDrivePath, false);
    Enable(IdSaveSettings, false);
    SetTimer(Handle(), kTimer1, 500, nullptr);
    ShowWindow(Control(IdProgressBar), SW_SHOWNA);
    Enable(IdProgressBar, true);
}

void TForm1::ReturnToIdle() {
    KillTimer(Handle(), kTimer1);
    ShowWindow(Control(IdProgressBar), SW_HIDE);
    Enable(IdProgressBar, false);
    Enable(IdScanNow, true);
    Enable(IdClose, true);
    // Disabling the focused Stop button would leave the keyboard with nowhere to go.
    if (GetFocus() == Control(IdStop))
        SetFocus(Control(IdScanNow));
    Enable(IdStop, false);
    Enable(IdDaysOldEdit, true);
    Enable(IdDaysUpDown, true);
    Enable(IdSelectDrivePath, true);
    Enable(IdSaveSettings, true);
    busy_ = false;
    if (listChanged_)
        ShowFoundRows();
}

void TForm1::EnableDelete() {
    Enable(IdDelete, true);
}

void TForm1::FoundListChanged() {
    listChanged_ = true;
    if (!busy_)
        ShowFoundRows();
}

void TForm1::ShowFoundRows() {
    listChanged_ = false;
    HWND list = Control(IdListView);
    if (found_.Count() != shownRows_) {
        shownRows_ = found_.Count();
        ListView_SetItemCountEx(list, static_cast<int>(shownRows_), LVSICF_NOSCROLL);
        return; // a new count repaints every row
    }
    // The same count can hold other rows: a new scan, or rows inserted in sorted order.
    InvalidateRect(list, nullptr, FALSE);
}

void TForm1::ProcessMessages() {
    // Asking the window system whether anything waits costs a round trip (tens of
    // microseconds under Wine), which per file would cost more than the walk itself. The
    // question is asked at most once per few milliseconds: input still runs within a
    // fraction of a frame, and the stop flag is still tested after every file.
    const DWORD now = GetTickCount();
    if (now - lastPump_ < kPumpIntervalMs)
        return;
    lastPump_ = now;
    // Each new row count repaints the visible rows, which costs far more than adding rows:
    // the list catches up a few times a second, always showing the sorted store.
    if (listChanged_ && now - lastListRefresh_ >= kListRefreshMs) {
        lastListRefresh_ = now;
        ShowFoundRows();
    }
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0)
        return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchLoopMessage(msg);
    }
}

void TForm1::ShowErrorDialog(const std::string& text) {
    // Where no one sees the dialog, its text ends the log instead.
    if (!state_.interactive && !DesktopIsVisible())
        log_.Add(text);
    ::ShowErrorDialog(text);
}

void TForm1::AppendText(const std::string& text) {
    HWND memo = Control(IdMemo);
    const int end = GetWindowTextLengthA(memo);
    SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    // Memo1Change: bring the last line into sight.
    SendMessageA(memo, EM_LINESCROLL, 0, SendMessageA(memo, EM_GETLINECOUNT, 0, 0));
}

void TForm1::ClearText() {
    SetWindowTextA(Control(IdMemo), "");
}

// ---------------------------------------------------------------- start-up and exit

void TForm1::Init() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    minimumSize_.cx = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    minimumSize_.cy = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
    state_.interactive = true;
    state_.programDirectory = ProgramDirectory();
    ThrowIfFailed(CurrentDirectoryPrefix(state_.startDirectory));
    ReadSettings();
    if (state_.debug) {
        log_.Add("Program Path = " + state_.programDirectory);
        log_.Add("Current Path = " + state_.startDirectory);
    }
    const RunModeDecision decision =
        DecideRunMode(SplitCommandLine(ExactCommandLine()), IsExistingDirectory);
    switch (decision.kind) {
    case RunModeDecision::Help:
        ShowInformationDialog(UsageText());
        ExitProgram(0);
        return;
    case RunModeDecision::ParameterError:
        log_.Add(decision.message);
        ::ShowErrorDialog(decision.message);
        ExitProgram(1);
        return;
    case RunModeDecision::Unattended:
        SetDrivePath(decision.path);
        SetDaysText(std::to_string(decision.days));
        log_.Add("Search values obtained from command-line");
        state_.interactive = false;
        break;
    case RunModeDecision::Interactive:
        if (DesktopIsVisible())
            break;
        // The window would open where no one can ever close it.
        log_.Add(kNoDesktopLine);
        ExitProgram(1);
        return;
    }
    DeleteFileA((state_.programDirectory + kLogFileName).c_str());
    DeleteFileA((state_.programDirectory + kCsvFileName).c_str());
    if (state_.interactive) {
        ShowInStartState();
        SetFocus(Control(IdScanNow)); // the first control in tab order
        return;
    }
    ScanNow(*this);
    ExitProgram(0);
}

// Wine without a window manager gives a window first shown maximised its normal size again
// a moment later, leaving it maximised. A maximised window never takes its normal size: the
// restore that gives it back clears the maximised state first.
void TForm1::KeepMaximisedSize(WINDOWPOS& pos) {
    if (!IsZoomed(Handle()) || (pos.flags & SWP_NOSIZE))
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Handle(), &placement))
        return;
    const RECT& normal = placement.rcNormalPosition;
    if (pos.cx == normal.right - normal.left && pos.cy == normal.bottom - normal.top)
        pos.flags |= SWP_NOSIZE | SWP_NOMOVE;
}

void TForm1::ShowInStartState() {
    const bool minimised = showCommand_ == SW_MINIMIZE || showCommand_ == SW_SHOWMINIMIZED ||
                           showCommand_ == SW_SHOWMINNOACTIVE || showCommand_ == SW_FORCEMINIMIZE;
    if (!state_.maximized || minimised) {
        ShowWindow(Handle(), showCommand_);
        if (state_.maximized) {
            // Started minimised: it opens maximised when the user restores it.
            WINDOWPLACEMENT placement{};
            placement.length = sizeof placement;
            GetWindowPlacement(Handle(), &placement);
            placement.flags |= WPF_RESTORETOMAXIMIZED;
            SetWindowPlacement(Handle(), &placement);
        }
        return;
    }
    // Shown maximised at once: Wine restored a window that was first shown normal and then
    // maximised, as soon as anything changed it again.
    ShowWindow(Handle(), SW_SHOWMAXIMIZED);
}

void TForm1::ExitProgram(int32_t code) {
    if (state_.debug)
        log_.Add("Return Code = " + std::to_string(code));
    WriteLogFile();
    returnCode_ = code;
    PostQuitMessage(code);
}

void TForm1::ReadSettings() {
    const SettingsValues values =
        ReadSettingsFile(state_.programDirectory + kIniFileName, state_.programDirectory);
    state_.debug = values.debug;
    SetDaysText(std::to_string(ClampDays(values.daysOld)));
    SetDrivePath(values.drivePath);
    state_.maximized = values.maximized;
    log_.Add("Settings Read.");
}

void TForm1::WriteSettings() {
    SettingsValues values;
    values.debug = state_.debug;
    values.daysOld = DaysValue();
    values.drivePath = RootPath();
    values.maximized = IsZoomed(Handle()) != FALSE;
    WriteSettingsFile(state_.programDirectory + kIniFileName, values);
    log_.Add("Settings Saved.");
}

// ---------------------------------------------------------------- handlers

void TForm1::ScanNowClick() {
    ScanNow(*this);
}

void TForm1::DeleteFilesClick() {
    DeleteFiles(*this);
}

void TForm1::StopBitBtnClick() {
    state_.stop = true;
}

void TForm1::SaveSettingsButtonClick() {
    WriteSettings();
}

void TForm1::DrivePathButtonClick() {
    std::string start = FullPathAgainst(RootPath(), state_.startDirectory);
    if (!IsExistingDirectory(start))
        start = state_.startDirectory;
    DirectoryChooser chooser;
    if (!chooser.Create())
        return;
    std::string chosen;
    const bool confirmed = chooser.Choose(Handle(), start, chosen);
    if (confirmed)
        SetDrivePath(chosen);
    if (state_.debug)
        log_.Add("Path selected = " + (confirmed ? chosen : start));
}

void TForm1::HelpBitBtnClick() {
    Form2.ShowModal(Handle());
}

void TForm1::AboutBitBtnClick() {
    AboutBox.ShowModal(Handle());
}

void TForm1::Timer1Timer() {
    SendMessageA(Control(IdProgressBar), PBM_STEPIT, 0, 0);
}
