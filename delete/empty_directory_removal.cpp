#include "delete/empty_directory_removal.h"

#include "app/bound_files.h"
#include "app/current_directory.h"
#include "app/errors.h"
#include "delete/directory_collector.h"

namespace {

const DWORD kOwnEntryExcluded = FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;
const DWORD kListAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

// Opened for removal with attribute writes for the reset, else without them (Wine refuses
// them on a read-only directory and lets the reset pass all the same). One that cannot be
// opened for removal at all (in use, access denied) is still tested, and its removal then
// fails with the reason that open gave. 0, or the error of the last open.
DWORD OpenForRemoval(HANDLE parent, const std::wstring& name, FileHandle& dir,
                     DWORD& removalError) {
    DWORD code =
        OpenInDirectory(parent, name, kListAccess | DELETE | FILE_WRITE_ATTRIBUTES, true, dir);
    if (code == ERROR_ACCESS_DENIED)
        code = OpenInDirectory(parent, name, kListAccess | DELETE, true, dir);
    removalError = code;
    return code == 0 ? 0 : OpenInDirectory(parent, name, kListAccess, true, dir);
}

// Each directory is reached from the scan's root one name at a time, never following a
// link, and checked to be the one the collector listed; its emptiness, its times, the
// attribute reset and the removal all go through that one handle.
class EmptyDirectoryVisit {
  public:
    EmptyDirectoryVisit(CommandHost& host, DateTime cutOff, const ListedDirectories& listed,
                        HANDLE root, const std::string& rootPrefix)
        : host_(host), cutOff_(cutOff), tree_(listed, root, rootPrefix) {}

    void Visit(const ListedDirectory& listed) {
        const std::string& path = listed.path;
        Debug("Checking directory " + path);
        FileHandle dir;
        DWORD removalError = 0;
        std::wstring name;
        HANDLE parent = nullptr;
        const DWORD code = Open(listed, name, parent, dir, removalError);
        if (code == kNotWhereListed) {
            LogFailure(path, kNotWhereListed);
            return;
        }
        if (code != 0 || !IsEmptyDirectory(dir.get())) {
            Debug("Directory is NOT empty.");
            return;
        }
        Debug("Directory is empty.");
        FILETIME createdStamp, writtenStamp, accessedStamp;
        DWORD attributes = 0;
        if (!ReadStamps(dir.get(), createdStamp, writtenStamp, accessedStamp, attributes) ||
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
            Remove(parent, name, dir, path, attributes);
    }

  private:
    // 0 with the directory open, kNotWhereListed when it or one above it is not the listed
    // one, or another error (it cannot be opened: passed over as not empty).
    DWORD Open(const ListedDirectory& listed, std::wstring& name, HANDLE& parent, FileHandle& dir,
               DWORD& removalError) {
        const size_t cut = LastDelimiter(listed.path);
        if (cut == std::string::npos || !ToExactWide(listed.path.substr(cut + 1), name))
            return kNotWhereListed;
        // No handle of the chain may keep the directory that is about to go.
        tree_.Release(listed.path + "\\");
        DWORD code = tree_.Open(listed.path.substr(0, cut + 1), parent);
        if (code == 0)
            code = OpenForRemoval(parent, name, dir, removalError);
        if (code != 0)
            return code;
        FileId id = 0;
        FILE_BASIC_INFO basic{};
        const bool listedOne =
            QueryFileId(dir.get(), id) == 0 && IsKnownId(listed.id) && id == listed.id &&
            GetFileInformationByHandleEx(dir.get(), FileBasicInfo, &basic, sizeof basic) &&
            !(basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        return listedOne ? 0 : kNotWhereListed;
    }

    void Debug(const std::string& line) {
        if (host_.State().debug)
            host_.AddLog(line);
    }

    // Read-only, then hidden, each cleared on its own; failures are ignored and not undone.
    void Remove(HANDLE parent, const std::wstring& name, FileHandle& dir, const std::string& path,
                DWORD attributes) {
        for (DWORD bit : {DWORD(FILE_ATTRIBUTE_READONLY), DWORD(FILE_ATTRIBUTE_HIDDEN)})
            if ((attributes & bit) && ClearBitsThroughHandle(dir.get(), attributes, bit) == 0)
                attributes &= ~bit;
        const DWORD code = RemoveListedItem(parent, name, dir);
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
    ListedTree tree_;
};

} // namespace

void RemoveEmptyDirectories(CommandHost& host, const std::string& root) {
    host.AddLog("Deleting empty directories...");
    const RunState& state = host.State();
    DirectoryList directories;
    ChangeDirectory(root);
    const BoundDirectory top = BoundDirectory::OpenCurrent();
    // Only the root the scan listed: not another directory that took its name since.
    if (!top.IsOpen() || top.Id() != state.listedRootId)
        throw InOutError(top.IsOpen() ? kNotWhereListed : top.Error());
    const std::string rootPrefix = CurrentDirectoryPrefix();
    CollectDirectories(host, top, top.FinalPath(), directories);
    ChangeDirectory(state.startDirectory);
    ListedDirectories identities{{rootPrefix, top.Id()}};
    directories.VisitDeepestFirst(
        [&](const ListedDirectory& listed) { identities[listed.path + "\\"] = listed.id; });
    EmptyDirectoryVisit visit(host, state.scanCutOff, identities, top.Handle(), rootPrefix);
    directories.VisitDeepestFirst([&](const ListedDirectory& listed) { visit.Visit(listed); });
    host.AddLog(std::to_string(host.State().counters.removed) + " empty directories deleted.");
}
