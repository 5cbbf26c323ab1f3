#include "delete/file_deletion.h"

#include "app/errors.h"
#include "delete/bound_deletion.h"
#include "delete/empty_directory_removal.h"
#include "report/csv_report.h"

namespace {

// A file is deleted only through a handle to it in the directory where it was listed, and
// only while it is still old by the cut-off of the scan that listed it (see
// ListedFileDeletion); a deletion counts once its name is gone.
void ReportDeletion(CommandHost& host, const std::string& path, FsResult deleted) {
    if (deleted.Ok()) {
        ++host.State().counters.deleted;
        return;
    }
    host.AddLog("ERROR: Could not delete " + path);
    host.AddLog("REASON: " + ReasonText(deleted.Code()));
}

// Every row in list order, under the scan's root taken by its identity: the path field
// may name another directory by now. Its handles are all closed on return, so none holds a
// directory that the removal of empty ones may take.
void DeleteListedFiles(CommandHost& host) {
    RunState& state = host.State();
    const BoundDirectory root = BoundDirectory::OpenPath(state.scanRoot);
    ListedFileDeletion deletion(state.listedDirectories, root.Handle(), state.listedRootPrefix,
                                state.IsScannedRoot(root), state.scanCutOff,
                                [&host](const std::string& path, FsResult deleted) {
                                    ReportDeletion(host, path, deleted);
                                });
    const size_t rows = host.Found().Count();
    const FoundFileList& found = host.Found();
    const std::vector<bool> last =
        LastRowsOfDirectories(rows, [&found](size_t i) { return found.FileText(i); });
    for (size_t i = 0; i < rows; ++i) {
        // Nothing after a stop: an unattended run then ends early, not with "Finished.".
        if (state.stop) {
            deletion.Finish();
            EndByStop(host);
        }
        deletion.Delete(found.FileText(i), last[i]);
        host.ProcessMessages();
    }
    deletion.Finish();
}

} // namespace

void DeleteFiles(CommandHost& host) {
    RunState& state = host.State();
    state.stop = false;
    host.EnterBusy();
    host.AddLog("Deleting files...");
    DeleteListedFiles(host);
    host.AddLog(std::to_string(state.counters.deleted) + " files deleted.");
    RemoveEmptyDirectories(host);
    host.AddLog("Finished.");
    WriteToCSVFile(host);
    host.WriteLogFile();
    host.ReturnToIdle();
}
