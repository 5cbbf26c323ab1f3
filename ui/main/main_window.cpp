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

// A text of the found-file list could not be made for lack of memory.
const UINT kListShortageMessage = WM_APP + 2;
char ReadDecimalSeparator() {
    char buffer[8];
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1
               ? buffer[0]
               : '.';
}

} // namespace

TForm1::TForm1(Run& run, int showCommand)
    : run_(run), foundView_(run.Found(), run.Formats()), decimalSeparator_(ReadDecimalSeparator()),
      showCommand_(showCommand) {}

TForm1::~TForm1() = default;

void TForm1::DispatchLoopMessage(MSG& msg) {
    if (!IsDialogMessageA(Handle(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TForm1::RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchLoopMessage(msg);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_PAINT:
        PaintBevel();
        return 0;
    case WM_COMMAND:
        routes_.Dispatch(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case kListShortageMessage:
        run_.AddLog(ResourceLine(Phase::ListView));
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
        if (run_.RequestEnd(Run::EndRequest::SessionEnd))
            closePending_ = true;
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && run_.SessionEnds())
            closePending_ = true;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return Default(message, wParam, lParam);
}

void TForm1::DaysOldEditExit() {
    const std::string text = DaysText();
    const std::string fixed = DaysTextOnExit(text);
    if (fixed != text)
        SetDaysText(fixed);
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
    // Destroying the window under a running command would lose the log: the command stops
    // first, and the window closes as soon as it has ended.
    if (run_.RequestEnd(Run::EndRequest::Close))
        closePending_ = true;
    else
        DestroyWindow(Handle());
}

void TForm1::CloseIfPending() {
    if (closePending_)
        DestroyWindow(Handle());
}

void TForm1::SubclassControls() {
    SubclassControl(Control(IdDaysOldEdit),
                    [this](HWND edit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                        return DaysEditMessage(edit, message, wParam, lParam, result);
                    });
    SubclassControl(Control(IdDrivePathEdit),
                    [](HWND edit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                        if (message != WM_GETDLGCODE)
                            return false;
                        // Entering the path field by Tab leaves its text unselected.
                        result = DefSubclassProc(edit, message, wParam, lParam) & ~DLGC_HASSETSEL;
                        return true;
                    });
    SubclassControl(Control(IdSelectDrivePath),
                    [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
                        if (message != WM_SETFOCUS)
                            return false;
                        // The path button never takes the keyboard focus: hand it back.
                        if (wParam)
                            SetFocus(reinterpret_cast<HWND>(wParam));
                        result = 0;
                        return true;
                    });
}

bool TForm1::DaysEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) {
    switch (message) {
    case WM_GETDLGCODE:
        // Enter comes to the field (and is refused there); Tab and Esc stay with the window.
        result = DefSubclassProc(edit, message, wParam, lParam);
        if (lParam && reinterpret_cast<MSG*>(lParam)->wParam == VK_RETURN)
            result |= DLGC_WANTMESSAGE;
        return true;
    case WM_CHAR:
        if (IsDaysCharAccepted(static_cast<char>(wParam), decimalSeparator_))
            return false;
        DefaultBeep();
        result = 0;
        return true;
    case WM_KEYDOWN:
        if (wParam != VK_UP && wParam != VK_DOWN)
            return false;
        SetDaysText(std::to_string(SteppedDays(DaysText(), wParam == VK_UP ? 1 : -1)));
        result = 0;
        return true;
    }
    return false;
}

void TForm1::ScanNowClick() {
    run_.ScanNow(RootPath(), DaysValue());
    CloseIfPending();
}

void TForm1::DeleteFilesClick() {
    run_.DeleteFiles();
    CloseIfPending();
}

void TForm1::StopBitBtnClick() {
    run_.Stop();
}

void TForm1::SaveSettingsButtonClick() {
    run_.WriteSettings(DaysValue(), RootPath(), IsZoomed(Handle()) != FALSE);
}

void TForm1::DrivePathButtonClick() {
    const RunSettings& settings = run_.State().settings;
    std::string start = FullPathAgainst(RootPath(), settings.startDirectory);
    if (!IsExistingDirectory(start))
        start = settings.startDirectory;
    DirectoryChooser chooser;
    if (!chooser.Create())
        return;
    std::string chosen;
    const bool confirmed = chooser.Choose(Handle(), start, chosen);
    if (confirmed)
        SetDrivePath(chosen);
    if (settings.debug)
        run_.AddLog("Path selected = " + (confirmed ? chosen : start));
}

void TForm1::HelpBitBtnClick() {
    HelpWindow().ShowModal(Handle());
}

void TForm1::AboutBitBtnClick() {
    About().ShowModal(Handle());
}

void TForm1::CloseBitBtnClick() {
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

void TForm1::Timer1Timer() {
    SendMessageA(Control(IdProgressBar), PBM_STEPIT, 0, 0);
}
