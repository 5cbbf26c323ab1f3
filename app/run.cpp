#include "app/run.h"

#include "app/command_line.h"
#include "app/run_modes.h"
#include "command/text_file.h"
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

// Where no one sees the dialog, the administrator finds why in a file of its own: the log
// and the CSV file belong to the run that works.
void NoteRefusal(const std::string& programDirectory, const RegionalFormats& formats) {
    try {
        WriteWholeFile(programDirectory + kRefusedFileName,
                       DateTimeText(LocalNow(), formats) + " " + kOtherRunText + "\r\n");
    } catch (...) {
        // Only the return code is left to tell it.
    }
}

} // namespace

void StartRun(RunWindow& window, RunLock& lock) {
    RunState& state = window.State();
    // The path parameter is read once: the check and the whole job use what it found.
    const RunModeDecision decision =
        DecideRunMode(SplitCommandLine(ExactCommandLine()), [&state](const std::string& typed) {
            const std::string full = ResolveRoot(typed, state.settings).full;
            return IsExistingDirectory(full) ? full : std::string();
        });
    const RunLock::Outcome locked = decision.kind == RunModeDecision::Help
                                        ? RunLock::NotHeld
                                        : lock.Acquire(state.settings.programDirectory);
    if (locked == RunLock::OtherRun) {
        // Another run works with this installation's records: leave every one of them alone.
        if (window.DesktopIsVisible())
            window.ShowErrorDialog(kOtherRunText);
        else
            NoteRefusal(state.settings.programDirectory, window.Formats());
        window.EndUntouched(2);
        return;
    }
    // What runs ended before their renames left, only the one holding the lock may remove.
    if (locked == RunLock::Held)
        RemoveLeftovers(state.settings.programDirectory);
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
    RunScheduledJob(window, {decision.path, decision.fullPath}, decision.days);
    window.ExitProgram(0);
}

void RunScheduledJob(CommandHost& host, const TypedRoot& root, int32_t days) {
    if (!ScanForOldFiles(host, root, days))
        return;
    if (host.State().counters.old > 0)
        DeleteFiles(host);
    try {
        FinishScan(host);
    } catch (const std::bad_alloc&) {
        EndByResourceError(host, kTooManyFilesText);
    }
}
