#include "scan/scan_command.h"

#include "fs/current_directory.h"
#include "fs/path_text.h"
#include "fs/system_redirection.h"
#include "command/errors.h"
#include "report/csv_report.h"
#include "scan/file_collector.h"

namespace {

void ScanAndReport(CommandHost& host, const std::string& root, const std::string& fullRoot,
                   int32_t days) {
    RunState& state = host.State();
    state.stop.requested = false;
    host.EnterBusy();
    state.counters = RunCounters();
    host.Log().Clear();
    host.StartLogFile();
    host.Found().Clear();
    host.FoundListChanged();
    state.scanStart = LocalNow();

    const std::string daysText = std::to_string(days);
    host.AddLog("Searching path " + root);
    host.AddLog("Looking for files older than " + daysText + " days (Created before " +
                DateTimeText(CutOff(state.scanStart, days), host.Formats()) + ")");
    host.AddLog("Searching...");
    FindOldFiles(host, fullRoot, CutOff(state.scanStart, days));

    host.AddLog(std::to_string(state.counters.examined) + " files found under " + root);
    host.AddLog(std::to_string(state.counters.old) + " files older than " + daysText + " days.");
    if (state.counters.old > 0) {
        WriteToCSVFile(host);
        host.EnableDelete();
    }
}

} // namespace

TypedRoot ResolveRoot(const std::string& typed, const RunSettings& settings) {
    // Against the start directory: a scan makes the root current for a while.
    const std::string full = FullPathAgainst(typed, settings.startDirectory);
    return {typed, full.empty() ? full : WithoutRedirection(full)};
}

bool ScanForOldFiles(CommandHost& host, const TypedRoot& root, int32_t days) {
    // The CSV file names its own shortage; one elsewhere is the scan's.
    return InPhase(host, Phase::Scan, [&] {
        RunState& state = host.State();
        if (!IsExistingDirectory(root.full)) {
            host.AddLog("ERROR: Path " + root.typed + " does not exist.");
            // Unattended, a root gone by the time the scan starts ends the run early (code 2).
            if (!state.settings.interactive)
                throw SilentAbort{};
            return false;
        }
        ScanAndReport(host, root.typed, root.full, days);
        return true;
    });
}

void FinishScan(CommandHost& host) {
    host.AddLog("Finished.");
    host.WriteLogFile();
    host.ReturnToIdle();
}

void ScanNow(CommandHost& host, const std::string& root, int32_t days) {
    InPhase(host, Phase::Scan, [&] {
        if (ScanForOldFiles(host, ResolveRoot(root, host.State().settings), days))
            FinishScan(host);
    });
}
