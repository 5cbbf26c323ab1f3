#include "ui/chooser/path_chooser.h"

#include "ui/toolkit/child_controls.h"
#include "ui/toolkit/fonts.h"

#include "fs/current_directory.h"
#include "fs/directory_listing.h"
#include "fs/exact_names.h"
#include "fs/path_text.h"
#include "command/errors.h"
#include "ui/toolkit/gdi_objects.h"
#include "ui/toolkit/error_report.h"

#include <algorithm>
#include <commctrl.h>
#include <shellapi.h>

namespace {

const int kRowHeight = 16;

// Design at 96 dots per inch.
const ControlPlace kPlaces[] = {
    {IdChooserNameLabel, {8, 6, 200, 14}, kLeft | kTop, kDesignSize},
    {IdChooserPath, {8, 22, 200, 14}, kLeft | kTop, kDesignSize},
    {IdChooserTreeLabel, {8, 42, 200, 14}, kLeft | kTop, kDesignSize},
    {IdChooserTree, {8, 58, 200, 154}, kLeft | kTop, kDesignSize},
    {IdChooserFilesLabel, {216, 6, 200, 14}, kLeft | kTop, kDesignSize},
    {IdChooserFiles, {216, 22, 200, 130}, kLeft | kTop, kDesignSize},
    {IdChooserDrivesLabel, {216, 162, 200, 14}, kLeft | kTop, kDesignSize},
    {IdChooserDrives, {216, 178, 200, 200}, kLeft | kTop, kDesignSize},
    {IdChooserNetwork, {8, 222, 75, 25}, kLeft | kTop, kContentSize},
    {IdChooserOk, {262, 222, 75, 25}, kLeft | kTop, kContentSize},
    {IdChooserCancel, {342, 222, 75, 25}, kLeft | kTop, kContentSize},
};

// The system's icon for a kind of drive, found without touching the drive's medium.
int DriveIcon(UINT type, char letter) {
    SHSTOCKICONID id = SIID_DRIVEFIXED;
    switch (type) {
    case DRIVE_REMOVABLE:
        id = letter == 'a' || letter == 'b' ? SIID_DRIVE35 : SIID_DRIVEREMOVE;
        break;
    case DRIVE_REMOTE:
        id = SIID_DRIVENET;
        break;
    case DRIVE_CDROM:
        id = SIID_DRIVECD;
        break;
    case DRIVE_RAMDISK:
        id = SIID_DRIVERAM;
        break;
    }
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(SHGetStockIconInfo(id, SHGSI_SYSICONINDEX | SHGSI_SMALLICON, &info)) &&
        info.iSysImageIndex >= 0)
        return info.iSysImageIndex;
    // Some shells report success without an index. A local disk may then be asked
    // directly; any other drive is asked by its name alone, so no medium is touched.
    const char root[] = {letter, ':', '\\', '\0'};
    const bool local = type == DRIVE_FIXED || type == DRIVE_RAMDISK;
    SHFILEINFOA file{};
    return SHGetFileInfoA(root, FILE_ATTRIBUTE_DIRECTORY, &file, sizeof file,
                          (local ? 0 : SHGFI_USEFILEATTRIBUTES) | SHGFI_SYSICONINDEX |
                              SHGFI_SMALLICON)
               ? file.iIcon
               : -1;
}

// Owner-drawn rows of both lists: the background, then the text from `left` on, and the
// focus frame over both. Returns whether the row is selected.
bool DrawItemBackground(const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    return selected;
}

void DrawItemText(const DRAWITEMSTRUCT& item, bool selected, const std::string& text, int left) {
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT box = item.rcItem;
    box.left = left;
    DrawTextA(item.hDC, text.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

std::string Lower(std::string s) {
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

} // namespace

DirectoryChooser::DirectoryChooser() = default;

DirectoryChooser::~DirectoryChooser() = default;

bool DirectoryChooser::Create() {
    if (!CreateModal("TDirectoryChooser", "Select Directory", 424, 255))
        return false;
    HWND h = Handle();
    const DWORD visible = WS_VISIBLE;
    AddChildControl(h, IdChooserNameLabel, WC_STATICA, "Directory &Name:", visible);
    AddChildControl(h, IdChooserPath, WC_STATICA, "", visible | SS_PATHELLIPSIS | SS_NOPREFIX);
    AddChildControl(h, IdChooserTreeLabel, WC_STATICA, "&Directories:", visible);
    AddChildControl(h, IdChooserTree, WC_LISTBOXA, "",
                    visible | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                        LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE);
    AddChildControl(h, IdChooserFilesLabel, WC_STATICA, "&Files: (*.*)", visible);
    AddChildControl(h, IdChooserFiles, WC_LISTBOXA, "",
                    visible | WS_VSCROLL | LBS_NOSEL | LBS_NOINTEGRALHEIGHT | LBS_SORT,
                    WS_EX_CLIENTEDGE);
    AddChildControl(h, IdChooserDrivesLabel, WC_STATICA, "D&rives:", visible);
    AddChildControl(h, IdChooserDrives, WC_COMBOBOXA, "",
                    visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                        CBS_HASSTRINGS);
    AddChildControl(h, IdChooserNetwork, WC_BUTTONA, "Ne&twork...",
                    visible | WS_TABSTOP | BS_PUSHBUTTON);
    AddChildControl(h, IdChooserOk, WC_BUTTONA, "OK", visible | WS_TABSTOP | BS_DEFPUSHBUTTON);
    AddChildControl(h, IdChooserCancel, WC_BUTTONA, "Cancel", visible | WS_TABSTOP | BS_PUSHBUTTON);
    ApplyDpi(WindowDpi(h));
    SHFILEINFOA folder{};
    systemIcons_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &folder, sizeof folder,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    // The connect dialog exists only where the system offers one.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32 || !GetProcAddress(user32, "WNETGETCAPS"))
        ShowWindow(Control(IdChooserNetwork), SW_HIDE);
    FillDrives();
    return true;
}

void DirectoryChooser::ApplyDpi(int dpi) {
    scale_ = Scale{dpi};
    Font font(CreateUiFont(scale_(11)));
    SetControlFonts(Handle(), font.get());
    font_ = std::move(font);
    SendMessageA(Control(IdChooserTree), LB_SETITEMHEIGHT, 0, scale_(kRowHeight));
    for (WPARAM part : {static_cast<WPARAM>(-1), WPARAM(0)}) // the field and the list
        SendMessageA(Control(IdChooserDrives), CB_SETITEMHEIGHT, part, scale_(kRowHeight));
    PlaceControls(Handle(), kPlaces, sizeof kPlaces / sizeof kPlaces[0], scale_);
}

void DirectoryChooser::FillDrives() {
    HWND drives = Control(IdChooserDrives);
    SendMessageA(drives, CB_RESETCONTENT, 0, 0);
    drives_.clear();
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i)))
            continue;
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type != DRIVE_REMOVABLE && type != DRIVE_FIXED && type != DRIVE_REMOTE &&
            type != DRIVE_CDROM && type != DRIVE_RAMDISK)
            continue;
        std::string text = std::string(1, static_cast<char>('a' + i)) + ":";
        if (type != DRIVE_REMOVABLE) {
            char label[MAX_PATH] = "";
            if (type == DRIVE_REMOTE) {
                DWORD size = sizeof label;
                const std::string device = text;
                if (WNetGetConnectionA(device.c_str(), label, &size) != NO_ERROR)
                    label[0] = '\0';
            } else {
                GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                      nullptr, 0);
            }
            text += std::string(" ") + label;
        }
        const LRESULT at =
            SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(drives, CB_SETITEMDATA, static_cast<WPARAM>(at),
                     static_cast<LPARAM>(drives_.size()));
        const char letter = static_cast<char>('a' + i);
        drives_.push_back({letter, DriveIcon(type, letter), text});
    }
}

void DirectoryChooser::OpenAtStart(const std::string& start) {
    std::string path = FullPath(start);
    // A drive root opens at that drive's current directory.
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\')
        path.resize(2);
    if (path.empty() || !OpenDirectory(path, true))
        OpenDirectory(".");
}

bool DirectoryChooser::OpenDirectory(const std::string& path, bool quiet) {
    std::string prefix;
    FsResult entered = ChangeDirectory(path);
    if (entered.Ok())
        entered = CurrentDirectoryPrefix(prefix);
    if (!entered.Ok()) {
        if (!quiet)
            ShowErrorReport(InOutErrorText(entered.Code()));
        return false;
    }
    current_ = DirectoryOfPrefix(prefix);
    Refresh();
    return true;
}

void DirectoryChooser::Refresh() {
    rows_.Read(current_);
    HWND tree = Control(IdChooserTree);
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageA(tree, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < rows_.Rows().size(); ++i)
        SendMessageA(tree, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    SendMessageA(tree, LB_SETCURSEL, rows_.CurrentRow(), 0);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);

    HWND list = Control(IdChooserFiles);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : rows_.Files())
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetWindowTextA(Control(IdChooserPath), current_.c_str());

    HWND drives = Control(IdChooserDrives);
    const int count = static_cast<int>(SendMessageA(drives, CB_GETCOUNT, 0, 0));
    const char letter = Lower(current_.substr(0, 1))[0];
    for (int i = 0; i < count; ++i) {
        const Drive* drive = DriveInRow(i);
        if (drive && drive->letter == letter)
            SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
}

void DirectoryChooser::OpenRow(int row) {
    const auto& rows = rows_.Rows();
    if (row >= 0 && static_cast<size_t>(row) < rows.size() &&
        rows[static_cast<size_t>(row)].path != current_)
        OpenDirectory(rows[static_cast<size_t>(row)].path);
}

std::vector<std::string> DirectoryChooser::RowTexts() const {
    return rows_.Texts();
}

void DirectoryChooser::DrawRow(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1) || item.itemData >= rows_.Rows().size())
        return;
    const DirectoryRow& row = rows_.Rows()[item.itemData];
    const bool selected = DrawItemBackground(item);
    const int left = item.rcItem.left + scale_(2 + row.depth * 10);
    const int top = item.rcItem.top + scale_(3);
    // A small folder: open (on the way), current (filled), closed (outline).
    static const COLORREF kFolder[3] = {RGB(255, 255, 128), RGB(255, 215, 0), RGB(192, 192, 128)};
    const Brush brush(CreateSolidBrush(kFolder[static_cast<int>(row.kind)]));
    RECT folder = {left, top + scale_(2), left + scale_(14), top + scale_(11)};
    FillRect(item.hDC, &folder, brush.get());
    FrameRect(item.hDC, &folder, GetSysColorBrush(COLOR_WINDOWTEXT));
    DrawItemText(item, selected, row.name, left + scale_(18));
}

void DirectoryChooser::DrawDrive(const DRAWITEMSTRUCT& item) {
    const bool selected = DrawItemBackground(item);
    if (item.itemID == static_cast<UINT>(-1) || item.itemData >= drives_.size())
        return;
    const Drive& drive = drives_[item.itemData];
    const int size = GetSystemMetrics(SM_CXSMICON);
    if (systemIcons_ && drive.icon >= 0)
        ImageList_Draw(systemIcons_, drive.icon, item.hDC, item.rcItem.left + scale_(2),
                       (item.rcItem.top + item.rcItem.bottom - size) / 2, ILD_TRANSPARENT);
    DrawItemText(item, selected, drive.text, item.rcItem.left + size + scale_(6));
}

const DirectoryChooser::Drive* DirectoryChooser::DriveInRow(LRESULT row) const {
    const LRESULT at = row < 0 ? CB_ERR
                               : SendMessageA(Control(IdChooserDrives), CB_GETITEMDATA,
                                              static_cast<WPARAM>(row), 0);
    return at >= 0 && static_cast<size_t>(at) < drives_.size() ? &drives_[static_cast<size_t>(at)]
                                                               : nullptr;
}

char DirectoryChooser::SelectedDrive() const {
    const Drive* drive = DriveInRow(SendMessageA(Control(IdChooserDrives), CB_GETCURSEL, 0, 0));
    return drive ? drive->letter : '\0';
}

void DirectoryChooser::OnCommand(int id, int code) {
    HWND tree = Control(IdChooserTree);
    switch (id) {
    case IDOK:
        if (GetFocus() == tree) { // Enter on a row opens it
            OpenRow(static_cast<int>(SendMessageA(tree, LB_GETCURSEL, 0, 0)));
            return;
        }
        confirmed_ = true;
        EndModal();
        return;
    case IDCANCEL:
        EndModal();
        return;
    case IdChooserTree:
        if (code == LBN_DBLCLK)
            OpenRow(static_cast<int>(SendMessageA(tree, LB_GETCURSEL, 0, 0)));
        return;
    case IdChooserDrives:
        if (code == CBN_SELCHANGE) {
            const char letter = SelectedDrive();
            if (letter && !OpenDirectory(std::string(1, letter) + ":"))
                Refresh(); // back to the drive of the directory still shown
        }
        return;
    case IdChooserNetwork:
        WNetConnectionDialog(Handle(), RESOURCETYPE_DISK);
        FillDrives();
        Refresh();
        return;
    }
}

LRESULT DirectoryChooser::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == IdChooserDrives)
            DrawDrive(item);
        else
            DrawRow(item);
        return TRUE;
    }
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lParam) == Control(IdChooserFiles)) {
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_GRAYTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    }
    return ModalWindow::HandleMessage(message, wParam, lParam);
}

bool DirectoryChooser::Choose(HWND owner, const std::string& start, std::string& result) {
    confirmed_ = false;
    OpenAtStart(start);
    ShowModal(owner);
    if (confirmed_)
        result = current_;
    return confirmed_;
}
