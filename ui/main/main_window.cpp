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

const UINT kInitMessage = WM_APP + 1;
// A text of the found-file list could not be made for lack of memory.
const UINT kListShortageMessage = WM_APP + 2;
const char kListShortageLine[] = "RESOURCE ERROR: Out of memory while showing the list.";
// The last lines of unattended runs that could not do their work.
const char kCloseLine[] = "ERROR: The run was ended early: the program was asked to close.";
const char kSessionEndLine[] = "ERROR: The run was ended early: the Windows session is ending.";
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
                                  if (!state_.settings.interactive)
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
    case kListShortageMessage:
        log_.Add(kListShortageLine);
        return 0;
    case WM_TIMER:
        if (wParam == kBusyTimer)
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
    if (header->idFrom == IdListView && foundView_.OnDisplayInfo(header)) {
        // Told once, after the paint: a line added from inside it would repaint the log.
        if (foundView_.TakeShortage())
            PostMessageA(Handle(), kListShortageMessage, 0, 0);
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
        state_.stop.requested = true;
        return;
    }
    DestroyWindow(Handle());
}

bool TForm1::RequestEnd(const char* reason) {
    if (state_.settings.interactive || !busy_)
        return false;
    // An unattended run stops at the next item as Stop does, says why, and ends with 2.
    if (state_.stop.reason.empty())
        state_.stop.reason = reason;
    state_.stop.requested = true;
    closePending_ = true;
    return true;
}

void TForm1::OnEndSession() {
    // The process may end as soon as this returns: leave the log with the reason now. If it
    // goes on, the stop at the next item finds the line there and does not add it again.
    if (!RequestEnd(kSessionEndLine))
        return;
    log_.Add(state_.stop.reason);
    log_.FlushQuietly();
}

void TForm1::RunCommand(void (TForm1::*command)()) {
    RunGuardedOutcome([&] { (this->*command)(); },
                      [this](const std::string& message) {
                          // The log file tells why the command ended, whatever failed.
                          log_.Add(ErrorReportText(message));
                          log_.FlushQuietly();
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

void TForm1::ScanNowClick() {
    ScanNow(*this, RootPath(), DaysValue());
}

void TForm1::DeleteFilesClick() {
    DeleteFiles(*this);
}

void TForm1::StopBitBtnClick() {
    state_.stop.requested = true;
}

void TForm1::SaveSettingsButtonClick() {
    WriteSettings();
}

void TForm1::DrivePathButtonClick() {
    std::string start = FullPathAgainst(RootPath(), state_.settings.startDirectory);
    if (!IsExistingDirectory(start))
        start = state_.settings.startDirectory;
    DirectoryChooser chooser;
    if (!chooser.Create())
        return;
    std::string chosen;
    const bool confirmed = chooser.Choose(Handle(), start, chosen);
    if (confirmed)
        SetDrivePath(chosen);
    if (state_.settings.debug)
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
