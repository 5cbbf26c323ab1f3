// The main window's opening for use, in the state the settings saved.
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

void TForm1::Open() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    minimumSize_.cx = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    minimumSize_.cy = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
    const SettingsValues& settings = run_.ReadSettings();
    SetDaysText(std::to_string(settings.daysOld));
    SetDrivePath(settings.drivePath);
    // The help page starts loading for a window someone works, never in a scheduled run.
    HelpWindow().StartLoadingPage();
    ShowInStartState();
    SetFocus(Control(IdScanNow)); // the first control in tab order
}

namespace {

// The window `owned` holds, made and created the first time it is asked for.
template <typename Modal> Modal& MadeWhenNeeded(std::unique_ptr<Modal>& owned, const char* what) {
    if (!owned) {
        auto made = std::make_unique<Modal>();
        if (!made->Create()) {
            const DWORD code = GetLastError();
            throw AppError(std::string("The ") + what + " could not be created. " +
                           ReasonText(code));
        }
        owned = std::move(made);
    }
    return *owned;
}

} // namespace

TForm2& TForm1::HelpWindow() {
    return MadeWhenNeeded(Form2, "help window");
}

TAboutBox& TForm1::About() {
    return MadeWhenNeeded(AboutBox, "About box");
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
    if (!run_.State().settings.maximized || minimised) {
        ShowWindow(Handle(), showCommand_);
        if (run_.State().settings.maximized) {
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
