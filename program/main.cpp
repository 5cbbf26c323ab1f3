// Program entry: the run, the main window that shows it, the run's start-up, and the message
// loop while the window is open for use. The run decides everything, the return code too.
#include "app/run.h"
#include "ui/main/main_window.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    // A path that reaches a drive without a medium, a file the loader cannot open, or a
    // crash must fail with its error code, never hold a scheduled run behind a system box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RunLock lock; // held from the start to the end of the run
    Run run;
    TForm1 form(run, showCommand);
    if (!form.Create()) {
        run.EndWithoutWindow(GetLastError());
        return ReturnCode(run.End());
    }
    run.ShowIn(form);
    run.Init(lock);
    if (!run.Ended())
        form.RunMessageLoop();
    return ReturnCode(run.End());
}
