#include "delete/empty_directory_removal.h"

#include "app/current_directory.h"
#include "app/errors.h"
#include "app/handles.h"
#include "delete/directory_collector.h"

namespace {

const DWORD kOwnEntryExcluded = FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

class EmptyDirectoryVisit {
  public:
    EmptyDirectoryVisit(CommandHost& host, DateTime cutOff) : host_(host), cutOff_(cutOff) {}

    void Visit(const std::string& path) {
        Debug("Checking directory " + path);
        if (!IsDirectoryEmpty(path)) {
            Debug("Directory is NOT empty.");
            return;
        }
        Debug("Directory is empty.");
        DirectoryListing own(path.c_str());
        if (!own.HasEntry() || (own.Entry().dwFileAttributes & kOwnEntryExcluded))
            return; // gone since the emptiness test, or not ours to remove
        const WIN32_FIND_DATAA& entry = own.Entry();
        const DateTime created = FileTimeToLocalDateTime(entry.ftCreationTime);
        const DateTime modified = ShiftedModified(FileTimeToLocalDateTime(entry.ftLastWriteTime));
        const DateTime accessed = FileTimeToLocalDateTime(entry.ftLastAccessTime);
        const int32_t age = AgeInDays(host_.State().scanStart, created);
        const RegionalFormats& formats = host_.Formats();
        Debug("Created:  " + DateTimeText(created, formats));
        Debug("Modified: " + DateTimeText(modified, formats));
        Debug("Before:   " + DateTimeText(cutOff_, formats));
        if (!IsOld(created, modified, cutOff_)) {
            Debug("Directory is NOT old.");
            return;
        }
        Debug("Directory is old.");
        ++host_.State().counters.old;
        host_.Found().AddRow(path + "\\", DateTimeText(created, formats),
                             DateTimeText(modified, formats), DateTimeText(accessed, formats),
                             std::to_string(age));
        host_.FoundListChanged();
        ClearBit(path, FILE_ATTRIBUTE_READONLY);
        ClearBit(path, FILE_ATTRIBUTE_HIDDEN);
        Remove(path);
    }

  private:
    void Debug(const std::string& line) {
        if (host_.State().debug)
            host_.AddLog(line);
    }

    static void ClearBit(const std::string& path, DWORD bit) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & bit))
            SetFileAttributesA(path.c_str(), attributes & ~bit);
    }

    void Remove(const std::string& path) {
        if (RemoveDirectoryA(path.c_str())) {
            ++host_.State().counters.removed;
            host_.AddLog("Deleted empty directory: " + path);
            return;
        }
        const DWORD code = GetLastError();
        host_.AddLog("ERROR: Could not delete empty directory: " + path);
        host_.AddLog("REASON: " + ReasonText(code));
    }

    CommandHost& host_;
    DateTime cutOff_;
};

} // namespace

void RemoveEmptyDirectories(CommandHost& host, const std::string& root) {
    host.AddLog("Deleting empty directories...");
    DirectoryList directories;
    ChangeDirectory(root);
    CollectDirectories(host, directories);
    ChangeDirectory(host.State().startDirectory);
    EmptyDirectoryVisit visit(host, CutOff(host.State().scanStart, host.DaysValue()));
    directories.VisitDeepestFirst([&](const std::string& path) { visit.Visit(path); });
    host.AddLog(std::to_string(host.State().counters.removed) + " empty directories deleted.");
}
