// The main window's start-up sequence, its end, and its settings.
#include "ui/main/main_window.h"

#include "ui/toolkit/fonts.h"

#include "fs/current_directory.h"
#include "command/errors.h"
#include "base/program_location.h"
#include "command/settings.h"
#include "resources/resource_ids.h"
#include "ui/toolkit/child_controls.h"
#include "base/days.h"
#include "ui/toolkit/dpi.h"
#include "ui/toolkit/error_report.h"
#include "ui/toolkit/layout.h"
#include "ui/chooser/path_chooser.h"

#include <commctrl.h>
#include <windowsx.h>

void TForm1::Init() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    minimumSize_.cx = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    minimumSize_.cy = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
    state_.settings.interactive = true;
    state_.settings.programDirectory = ProgramDirectory();
    ThrowIfFailed(CurrentDirectoryPrefix(state_.settings.startDirectory));
    ReadSettings();
    if (state_.settings.debug) {
        log_.Add("Program Path = " + state_.settings.programDirectory);
        log_.Add("Current Path = " + state_.settings.startDirectory);
    }
    if (start_)
        start_();
    else
        ShowForUse();
}

void TForm1::ShowForUse() {
    Form2.StartLoadingPage();
    ShowInStartState();
    SetFocus(Control(IdScanNow)); // the first control in tab order
}

void TForm1::EndUntouched(int32_t code) {
    returnCode_ = code;
    PostQuitMessage(code);
}

void TForm1::ShowInformationDialog(const std::string& text) {
    ::ShowInformationDialog(text);
}

bool TForm1::DesktopIsVisible() {
    return ::DesktopIsVisible();
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
    if (!state_.settings.maximized || minimised) {
        ShowWindow(Handle(), showCommand_);
        if (state_.settings.maximized) {
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
    if (state_.settings.debug)
        log_.Add("Return Code = " + std::to_string(code));
    WriteLogFile();
    returnCode_ = code;
    PostQuitMessage(code);
}

void TForm1::ReadSettings() {
    const SettingsValues values = ReadSettingsFile(state_.settings.programDirectory + kIniFileName,
                                                   state_.settings.programDirectory);
    state_.settings.debug = values.debug;
    SetDaysText(std::to_string(ClampDays(values.daysOld)));
    SetDrivePath(values.drivePath);
    state_.settings.maximized = values.maximized;
    log_.Add("Settings Read.");
}

void TForm1::WriteSettings() {
    SettingsValues values;
    values.debug = state_.settings.debug;
    values.daysOld = DaysValue();
    values.drivePath = RootPath();
    values.maximized = IsZoomed(Handle()) != FALSE;
    WriteSettingsFile(state_.settings.programDirectory + kIniFileName, values);
    log_.Add("Settings Saved.");
}
