// The main window as the run's view: its fields, its busy and idle states, the messages it
// lets run during a command, its log view and its dialogs.
#include "ui/main/main_window.h"

#include "base/days.h"
#include "ui/toolkit/child_controls.h"
#include "ui/toolkit/error_report.h"

#include <commctrl.h>

namespace {

const DWORD kPumpIntervalMs = 5;

} // namespace

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

void TForm1::Show(ViewState state) {
    switch (state) {
    case ViewState::Busy:
        EnterBusy();
        return;
    case ViewState::Idle:
    case ViewState::IdleWithList:
        ReturnToIdle(state == ViewState::IdleWithList);
        return;
    case ViewState::Open:
        Open();
        return;
    }
}

void TForm1::EnterBusy() {
    // The keyboard goes to Stop, the one command that works now, rather than to a control
    // that is about to be disabled.
    const bool hadFocus = GetFocus() != nullptr && GetParent(GetFocus()) == Handle();
    SendMessageA(Control(IdProgressBar), PBM_SETPOS, 0, 0);
    Enable(IdStop, true);
    if (hadFocus)
        SetFocus(Control(IdStop));
    ApplyEnabled(Handle(), kControls, true);
    SetTimer(Handle(), kBusyTimer, 500, nullptr);
    ShowWindow(Control(IdProgressBar), SW_SHOWNA);
}

void TForm1::ReturnToIdle(bool deletable) {
    KillTimer(Handle(), kBusyTimer);
    ShowWindow(Control(IdProgressBar), SW_HIDE);
    Enable(IdScanNow, true);
    // Disabling the focused Stop button would leave the keyboard with nowhere to go.
    if (GetFocus() == Control(IdStop))
        SetFocus(Control(IdScanNow));
    ApplyEnabled(Handle(), kControls, false);
    // Delete Files: only for the list of a scan that found old files.
    Enable(IdDelete, deletable);
    if (foundView_.HasChanges())
        foundView_.ShowRows();
}

void TForm1::RowsAdded() {
    foundView_.Changed();
    if (!run_.Busy())
        foundView_.ShowRows();
}

void TForm1::LetMessagesRun() {
    // Asking the window system whether anything waits costs a round trip (tens of
    // microseconds under Wine), which per file would cost more than the walk itself. The
    // question is asked at most once per few milliseconds: input still runs within a
    // fraction of a frame, and the stop flag is still tested after every file.
    const DWORD now = GetTickCount();
    if (now - lastPump_ < kPumpIntervalMs)
        return;
    lastPump_ = now;
    // The list catches up a few times a second, always showing the sorted store.
    foundView_.CatchUp(now);
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

bool TForm1::PersonCanSee() {
    return DesktopIsVisible();
}

void TForm1::Ask(Question question, const std::string& text) {
    switch (question) {
    case Question::Error:
        ShowErrorDialog(text);
        return;
    case Question::Information:
        ShowInformationDialog(text);
        return;
    case Question::ErrorReport:
        ShowErrorReport(text);
        return;
    }
}

void TForm1::AppendText(const std::string& text) {
    // An unattended run never shows its window: its lines go to the log file alone.
    if (!run_.State().settings.interactive)
        return;
    HWND memo = Control(IdMemo);
    int end = GetWindowTextLengthA(memo);
    if (end + static_cast<int>(text.size()) > kLogViewTail) {
        // Only the last lines stay in view: the log file holds them all, and an edit
        // control with megabytes in it makes every line added slower.
        // The cut is found in the text, not by the view's lines, which wrap.
        std::string shown(static_cast<size_t>(end) + 1, '\0');
        shown.resize(static_cast<size_t>(GetWindowTextA(memo, &shown[0], end + 1)));
        const size_t lineEnd = shown.find("\r\n", shown.size() - kLogViewTail / 2);
        const size_t cut = lineEnd == std::string::npos ? shown.size() : lineEnd + 2;
        SendMessageA(memo, EM_SETSEL, 0, static_cast<LPARAM>(cut));
        SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
        end = GetWindowTextLengthA(memo);
    }
    SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    // Memo1Change: bring the last line into sight.
    SendMessageA(memo, EM_LINESCROLL, 0, SendMessageA(memo, EM_GETLINECOUNT, 0, 0));
}

void TForm1::ClearText() {
    SetWindowTextA(Control(IdMemo), "");
}
