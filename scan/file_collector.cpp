#include "scan/file_collector.h"

#include "app/current_directory.h"
#include "app/handles.h"
#include "scan/entry_name.h"

#include <new>

namespace {

const DWORD kNotEntered = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume label */ |
                          FILE_ATTRIBUTE_REPARSE_POINT;

class OldFileWalk {
  public:
    OldFileWalk(CommandHost& host, const std::string& mask, DateTime cutOff)
        : host_(host), mask_(mask), cutOff_(cutOff) {}

    void CollectOldFiles() {
        const std::string prefix = CurrentDirectoryPrefix();
        for (DirectoryListing files(mask_.c_str()); files.HasEntry(); files.Next())
            if (!(files.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ExamineFile(prefix, files.Entry());
        for (DirectoryListing dirs("*.*"); dirs.HasEntry(); dirs.Next()) {
            const WIN32_FIND_DATAA& entry = dirs.Entry();
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (entry.dwFileAttributes & kNotEntered) || IsDotEntry(entry.cFileName))
                continue;
            const std::string name = ReachableName(entry);
            if (name.empty()) {
                host_.AddLog("ERROR: Cannot enter directory " + prefix + entry.cFileName);
                continue;
            }
            ChangeDirectory(name);
            CollectOldFiles();
            ChangeDirectory("..");
        }
    }

  private:
    void ExamineFile(const std::string& prefix, const WIN32_FIND_DATAA& entry) {
        try {
            ++host_.State().counters.examined;
            DateTime created = FileTimeToLocalDateTime(entry.ftCreationTime);
            DateTime modified = FileTimeToLocalDateTime(entry.ftLastWriteTime);
            DateTime accessed = FileTimeToLocalDateTime(entry.ftLastAccessTime);
            int32_t age = AgeInDays(host_.State().scanStart, created);
            if (IsOld(created, modified, cutOff_))
                ListOldFile(prefix, entry, created, modified, accessed, age);
            host_.ProcessMessages();
            if (host_.State().stop)
                EndByStop(host_);
        } catch (const std::bad_alloc&) {
            EndByResourceError(host_, "RESOURCE ERROR: Too many files.");
        }
    }

    void ListOldFile(const std::string& prefix, const WIN32_FIND_DATAA& entry, DateTime created,
                     DateTime modified, DateTime accessed, int32_t age) {
        const std::string name = ReachableName(entry);
        if (name.empty()) {
            host_.AddLog("ERROR: Cannot list file " + prefix + entry.cFileName);
            return;
        }
        ++host_.State().counters.old;
        const RegionalFormats& formats = host_.Formats();
        host_.Found().AddRow(prefix + name, DateTimeText(created, formats),
                             DateTimeText(modified, formats), DateTimeText(accessed, formats),
                             std::to_string(age));
        host_.FoundListChanged();
    }

    CommandHost& host_;
    const std::string& mask_;
    DateTime cutOff_;
};

} // namespace

void FindOldFiles(CommandHost& host, const std::string& root, const std::string& mask,
                  DateTime cutOff) {
    ChangeDirectory(root);
    OldFileWalk(host, mask, cutOff).CollectOldFiles();
    ChangeDirectory(host.State().startDirectory);
}
