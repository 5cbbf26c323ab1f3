#include "delete/empty_directory_removal.h"

#include "app/bound_files.h"
#include "app/current_directory.h"
#include "app/errors.h"
#include "delete/directory_collector.h"

namespace {

const DWORD kOwnEntryExcluded = FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

// Opened for removal with attribute writes for the reset, else without them (Wine refuses
// them on a read-only directory and lets the reset pass all the same). One that cannot be
// opened for removal at all (in use, access denied) is still tested, and its removal then
// fails with the reason that open gave.
BoundDirectory OpenForRemoval(const std::string& path, DWORD& removalError) {
    BoundDirectory dir = BoundDirectory::OpenPath(path, DELETE | FILE_WRITE_ATTRIBUTES);
    if (!dir.IsOpen() && dir.Error() == ERROR_ACCESS_DENIED)
        dir = BoundDirectory::OpenPath(path, DELETE);
    removalError = dir.IsOpen() ? 0 : dir.Error();
    return dir.IsOpen() ? std::move(dir) : BoundDirectory::OpenPath(path);
}

// Each directory is opened once, without following a link in its last part, and checked to
// lie where the collector listed it; its emptiness, its times, the attribute reset and the
// removal all go through that handle.
class EmptyDirectoryVisit {
  public:
    EmptyDirectoryVisit(CommandHost& host, DateTime cutOff, const std::wstring& rootFinal)
        : host_(host), cutOff_(cutOff), rootFinal_(rootFinal) {}

    void Visit(const ListedDirectory& listed) {
        const std::string& path = listed.path;
        Debug("Checking directory " + path);
        DWORD removalError = 0;
        const BoundDirectory dir = OpenForRemoval(path, removalError);
        if (dir.IsOpen() && !IsListedDirectory(dir, listed.id, rootFinal_)) {
            LogFailure(path, kNotWhereListed);
            return;
        }
        if (!dir.IsOpen() || !dir.IsEmpty()) {
            Debug("Directory is NOT empty.");
            return;
        }
        Debug("Directory is empty.");
        FILETIME createdStamp, writtenStamp, accessedStamp;
        DWORD attributes = 0;
        if (!ReadStamps(dir.Handle(), createdStamp, writtenStamp, accessedStamp, attributes) ||
            (attributes & kOwnEntryExcluded))
            return; // its entry cannot be read, or it is not ours to remove
        DateTime created = 0, written = 0;
        const bool known =
            ToLocalDateTime(createdStamp, created) & ToLocalDateTime(writtenStamp, written);
        const DateTime modified = ShiftedModified(written);
        const DateTime accessed = FileTimeToLocalDateTime(accessedStamp);
        const int32_t age = AgeInDays(host_.State().scanStart, created);
        const RegionalFormats& formats = host_.Formats();
        Debug("Created:  " + DateTimeText(created, formats));
        Debug("Modified: " + DateTimeText(modified, formats));
        Debug("Before:   " + DateTimeText(cutOff_, formats));
        if (!known || !IsOld(created, modified, cutOff_)) {
            Debug("Directory is NOT old.");
            return;
        }
        Debug("Directory is old.");
        ++host_.State().counters.old;
        host_.Found().AddRow(path + "\\", DateTimeText(created, formats),
                             DateTimeText(modified, formats), DateTimeText(accessed, formats),
                             std::to_string(age));
        host_.FoundListChanged();
        if (removalError != 0)
            LogFailure(path, removalError);
        else
            Remove(dir, path, attributes);
    }

  private:
    void Debug(const std::string& line) {
        if (host_.State().debug)
            host_.AddLog(line);
    }

    // Read-only, then hidden, each cleared on its own; failures are ignored and not undone.
    void Remove(const BoundDirectory& dir, const std::string& path, DWORD attributes) {
        for (DWORD bit : {DWORD(FILE_ATTRIBUTE_READONLY), DWORD(FILE_ATTRIBUTE_HIDDEN)})
            if ((attributes & bit) && ClearBitsThroughHandle(dir.Handle(), attributes, bit) == 0)
                attributes &= ~bit;
        const DWORD code = RemoveThroughHandle(dir.Handle());
        if (code != 0) {
            LogFailure(path, code);
            return;
        }
        ++host_.State().counters.removed;
        host_.AddLog("Deleted empty directory: " + path);
    }

    void LogFailure(const std::string& path, DWORD code) {
        host_.AddLog("ERROR: Could not delete empty directory: " + path);
        host_.AddLog("REASON: " + ReasonText(code));
    }

    CommandHost& host_;
    DateTime cutOff_;
    const std::wstring& rootFinal_;
};

} // namespace

void RemoveEmptyDirectories(CommandHost& host, const std::string& root) {
    host.AddLog("Deleting empty directories...");
    DirectoryList directories;
    ChangeDirectory(root);
    const BoundDirectory top = BoundDirectory::OpenCurrent();
    CollectDirectories(host, top, top.FinalPath(), directories);
    ChangeDirectory(host.State().startDirectory);
    EmptyDirectoryVisit visit(host, CutOff(host.State().scanStart, host.DaysValue()),
                              top.FinalPath());
    directories.VisitDeepestFirst([&](const ListedDirectory& listed) { visit.Visit(listed); });
    host.AddLog(std::to_string(host.State().counters.removed) + " empty directories deleted.");
}
