#include "delete/file_deletion.h"

#include "command/errors.h"
#include "delete/bound_deletion.h"
#include "delete/empty_directory_removal.h"
#include "report/csv_report.h"

namespace {

// A file is deleted only through a handle to it in the directory where it was listed, and
// only while it is still old by the cut-off of the scan that listed it (see
// ListedFileDeletion); a deletion counts once its name is gone.
void ReportDeletion(CommandHost& host, const FoundList& scan, size_t row, FsResult deleted) {
    if (deleted.Ok()) {
        ++host.State().counters.deleted;
        return;
    }
    host.AddLog("ERROR: Could not delete " + scan.FileText(row));
    LogReason(host, deleted);
}

// Every file row in list order, under the scan's root taken by its identity: the path field
// may name another directory by now. Its handles are all closed on return, so none holds a
// directory that the removal of empty ones may take.
void DeleteListedFiles(CommandHost& host) {
    RunState& state = host.State();
    FoundList& scan = host.Found();
    const BoundDirectory root = BoundDirectory::OpenPath(scan.Root().path);
    const WideIdsInForce ids(root.WideIds());
    ListedFileDeletion deletion(
        scan, root.Handle(), scan.IsScannedRoot(root),
        [&host, &scan](size_t row, FsResult deleted) { ReportDeletion(host, scan, row, deleted); });
    const ChunkedVector<size_t> last = LastRowsOfDirectories(scan);
    for (size_t row = 0; row < scan.FileCount(); ++row) {
        // Nothing after a stop: an unattended run then ends early, not with "Finished.".
        if (state.stop.requested) {
            deletion.Finish();
            EndByStop(host);
        }
        const FoundList::Index directory = scan.FileDirectory(row);
        deletion.Delete(row, directory, last[directory] == row);
        host.ProcessMessages();
    }
    deletion.Finish();
}

} // namespace

void DeleteFiles(CommandHost& host) {
    RunState& state = host.State();
    state.stop.requested = false;
    InPhase(host, Phase::Deletion, [&] {
        host.EnterBusy();
        host.AddLog("Deleting files...");
        DeleteListedFiles(host);
        host.AddLog(std::to_string(state.counters.deleted) + " files deleted.");
    });
    RemoveEmptyDirectories(host);
    InPhase(host, Phase::Deletion, [&] {
        host.AddLog("Finished.");
        WriteToCSVFile(host);
        host.WriteLogFile();
    });
    host.ReturnToIdle();
}
