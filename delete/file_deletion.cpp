#include "delete/file_deletion.h"

#include "app/errors.h"
#include "delete/empty_directory_removal.h"
#include "report/csv_report.h"

#include <windows.h>

namespace {

// A read-only file has every attribute cleared (a failure is ignored) before it is deleted,
// and the reset is not undone when the deletion fails. Deleting first and reading the
// attributes only when that fails gives the same files, attributes, log and count, and saves
// an attribute read per file. Returns 0 on success, else the failed deletion's error code.
DWORD DeleteWithReadOnlyReset(const std::string& path) {
    if (DeleteFileA(path.c_str()))
        return 0;
    DWORD code = GetLastError();
    if (!(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY))
        return code;
    SetFileAttributesA(path.c_str(), 0);
    if (DeleteFileA(path.c_str()))
        return 0;
    code = GetLastError();
    return code != 0 ? code : ERROR_ACCESS_DENIED;
}

void DeleteOneFile(CommandHost& host, const std::string& path) {
    const DWORD code = DeleteWithReadOnlyReset(path);
    if (code == 0) {
        ++host.State().counters.deleted;
        return;
    }
    host.AddLog("ERROR: Could not delete " + path);
    host.AddLog("REASON: " + ReasonText(code));
}

} // namespace

void DeleteFiles(CommandHost& host) {
    RunState& state = host.State();
    state.stop = false;
    host.EnterBusy();
    host.AddLog("Deleting files...");
    const size_t rows = host.Found().Count();
    for (size_t i = 0; i < rows; ++i) {
        if (state.stop) {
            host.AddLog("Aborted by user.");
            host.ReturnToIdle();
            return;
        }
        DeleteOneFile(host, host.Found().FileText(i));
        host.ProcessMessages();
    }
    host.AddLog(std::to_string(state.counters.deleted) + " files deleted.");
    RemoveEmptyDirectories(host, host.RootPath());
    host.AddLog("Finished.");
    WriteToCSVFile(host);
    host.WriteLogFile();
    host.ReturnToIdle();
}
