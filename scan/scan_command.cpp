#include "scan/scan_command.h"

#include "fs/current_directory.h"
#include "fs/path_text.h"
#include "fs/system_redirection.h"
#include "app/errors.h"
#include "delete/file_deletion.h"
#include "report/csv_report.h"
#include "scan/file_collector.h"

#include <new>

namespace {

void ScanAndReport(CommandHost& host, const std::string& root, const std::string& fullRoot) {
    RunState& state = host.State();
    state.stop = false;
    host.EnterBusy();
    state.counters = RunCounters();
    host.Log().Clear();
    host.StartLogFile();
    host.Found().Clear();
    host.FoundListChanged();
    state.scanStart = LocalNow();

    const std::string days = std::to_string(host.DaysValue());
    host.AddLog("Searching path " + root);
    host.AddLog("Looking for files older than " + days + " days (Created before " +
                DateTimeText(CutOff(state.scanStart, host.DaysValue()), host.Formats()) + ")");
    host.AddLog("Searching...");
    FindOldFiles(host, fullRoot, CutOff(state.scanStart, host.DaysValue()));

    host.AddLog(std::to_string(state.counters.examined) + " files found under " + root);
    host.AddLog(std::to_string(state.counters.old) + " files older than " +
                std::to_string(host.DaysValue()) + " days.");
    if (state.counters.old > 0) {
        WriteToCSVFile(host);
        host.EnableDelete();
        if (!state.interactive)
            DeleteFiles(host);
    }
    host.AddLog("Finished.");
    host.WriteLogFile();
    host.ReturnToIdle();
}

// A refused path changes nothing but the log.
void ScanIfTheRootExists(CommandHost& host) {
    RunState& state = host.State();
    const std::string root = host.RootPath();
    // Made full once, against the start directory: the walks move the current one. A 32-bit
    // run on 64-bit Windows walks the System32 named, not its 32-bit twin.
    const std::string fullRoot = WithoutRedirection(FullPathAgainst(root, state.startDirectory));
    if (!IsExistingDirectory(fullRoot)) {
        host.AddLog("ERROR: Path " + root + " does not exist.");
        // Unattended, a root gone by the time the scan starts ends the run early (code 2).
        if (!state.interactive)
            throw SilentAbort{};
        return;
    }
    ScanAndReport(host, root, fullRoot);
}

} // namespace

void ScanNow(CommandHost& host) {
    try {
        ScanIfTheRootExists(host);
    } catch (const std::bad_alloc&) {
        // The phases after the scan (the CSV file, an unattended job's deletion) name their
        // own shortage; one here is the scan's.
        EndByResourceError(host, kTooManyFilesText);
    }
}
