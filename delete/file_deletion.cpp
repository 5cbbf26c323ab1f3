#include "delete/file_deletion.h"

#include "app/errors.h"
#include "delete/empty_directory_removal.h"
#include "report/csv_report.h"

#include <windows.h>

namespace {

void DeleteOneFile(CommandHost& host, const std::string& path) {
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path.c_str(), 0); // clears every bit; a failure is ignored
    if (DeleteFileA(path.c_str())) {
        ++host.State().counters.deleted;
        return;
    }
    const DWORD code = GetLastError();
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
