// The main window's start-up sequence, its end, and its settings.
#include "ui/main_window.h"

#include "ui/fonts.h"

#include "app/command_line.h"
#include "fs/current_directory.h"
#include "fs/path_text.h"
#include "fs/replacement_file.h"
#include "app/errors.h"
#include "app/program_location.h"
#include "app/run_lock.h"
#include "app/run_modes.h"
#include "app/settings.h"
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

const char kNoDesktopLine[] = "ERROR: No one can see this desktop: a run here needs exactly two "
                              "parameters, a path and a number of days.";

} // namespace

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
    if (decision.kind != RunModeDecision::Help && !runLock_.Acquire(state_.programDirectory)) {
        // Another run works with this installation's records: leave every one of them alone.
        ::ShowErrorDialog(kOtherRunText);
        returnCode_ = 2;
        PostQuitMessage(2);
        return;
    }
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
    // An unattended run writes its log as it goes from here on, so that one ended at any
    // moment leaves a record; the window's log starts with its first scan. An old list must
    // not pass for this run's. A file that cannot be removed stays, as it always did.
    if (state_.interactive)
        (void)RemoveOwnFile(state_.programDirectory + kLogFileName);
    else
        log_.StartFile(state_.programDirectory + kLogFileName);
    (void)RemoveOwnFile(state_.programDirectory + kCsvFileName);
    if (state_.interactive) {
        Form2.StartLoadingPage();
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
