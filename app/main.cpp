// Program entry: creates the main window hidden, lets its first showing start the run
// (app/run.cpp), and runs the message loop until termination is requested.
#include "app/run.h"
#include "command/errors.h"
#include "base/program_location.h"
#include "command/run_state.h"
#include "command/text_file.h"
#include "ui/main/main_window.h"

#include <commctrl.h>

namespace {

// Without its window the program can do nothing; a scheduled run must still leave a trace
// of why it ended with return code 2.
void LogWindowFailure(unsigned long code) {
    try {
        WriteWholeFile(ProgramDirectory() + kLogFileName,
                       "ERROR: The main window could not be created. " + ReasonText(code) + "\r\n");
    } catch (...) {
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    // A path that reaches a drive without a medium, a file the loader cannot open, or a
    // crash must fail with its error code, never hold a scheduled run behind a system box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RunLock lock; // held from the start to the end of the run
    TForm1 form;
    form.OnStart([&form, &lock] { StartRun(form, lock); });
    if (!form.Create()) {
        LogWindowFailure(GetLastError());
        return 2;
    }
    form.Show(showCommand);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        form.DispatchLoopMessage(msg);
    return form.ReturnCode();
}
