#include "app/run.h"

#include "app/command_line.h"
#include "app/run_modes.h"
#include "delete/file_deletion.h"
#include "fs/current_directory.h"
#include "fs/replacement_file.h"
#include "scan/file_collector.h"
#include "scan/scan_command.h"

#include <new>

namespace {

const char kNoDesktopLine[] = "ERROR: No one can see this desktop: a run here needs exactly two "
                              "parameters, a path and a number of days.";

// An unattended run writes its log as it goes from here on, so that one ended at any moment
// leaves a record; the window's log starts with its first scan. An old list must not pass
// for this run's. A file that cannot be removed stays, as it always did.
void StartRecords(RunWindow& window) {
    const RunState& state = window.State();
    if (state.settings.interactive)
        (void)RemoveOwnFile(state.settings.programDirectory + kLogFileName);
    else
        window.Log().StartFile(state.settings.programDirectory + kLogFileName);
    (void)RemoveOwnFile(state.settings.programDirectory + kCsvFileName);
}

} // namespace

void StartRun(RunWindow& window, RunLock& lock) {
    RunState& state = window.State();
    const RunModeDecision decision =
        DecideRunMode(SplitCommandLine(ExactCommandLine()), IsExistingDirectory);
    if (decision.kind != RunModeDecision::Help && !lock.Acquire(state.settings.programDirectory)) {
        // Another run works with this installation's records: leave every one of them alone.
        window.ShowErrorDialog(kOtherRunText);
        window.EndUntouched(2);
        return;
    }
    switch (decision.kind) {
    case RunModeDecision::Help:
        window.ShowInformationDialog(UsageText());
        window.ExitProgram(0);
        return;
    case RunModeDecision::ParameterError:
        window.AddLog(decision.message);
        window.ShowErrorDialog(decision.message);
        window.ExitProgram(1);
        return;
    case RunModeDecision::Unattended:
        window.AddLog("Search values obtained from command-line");
        state.settings.interactive = false;
        break;
    case RunModeDecision::Interactive:
        if (window.DesktopIsVisible())
            break;
        // The window would open where no one can ever close it.
        window.AddLog(kNoDesktopLine);
        window.ExitProgram(1);
        return;
    }
    StartRecords(window);
    if (state.settings.interactive) {
        window.ShowForUse();
        return;
    }
    RunScheduledJob(window, decision.path, decision.days);
    window.ExitProgram(0);
}

void RunScheduledJob(CommandHost& host, const std::string& path, int32_t days) {
    if (!ScanForOldFiles(host, path, days))
        return;
    if (host.State().counters.old > 0)
        DeleteFiles(host);
    try {
        FinishScan(host);
    } catch (const std::bad_alloc&) {
        EndByResourceError(host, kTooManyFilesText);
    }
}
