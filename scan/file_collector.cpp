#include "scan/file_collector.h"

#include "app/current_directory.h"
#include "app/handles.h"
#include "scan/entry_name.h"

#include <new>
#include <vector>

namespace {

const DWORD kNotEntered = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume label */ |
                          FILE_ATTRIBUTE_REPARSE_POINT;

class OldFileWalk {
  public:
    OldFileWalk(CommandHost& host, const std::string& mask, DateTime cutOff)
        : host_(host), mask_(mask), cutOff_(cutOff) {}

    void CollectOldFiles() {
        const std::string prefix = CurrentDirectoryPrefix();
        // Files first, then subdirectories. With the mask "*.*" one listing serves both
        // passes: the subdirectories it shows are entered after the last file.
        const bool oneListing = mask_ == "*.*";
        std::vector<std::string> subdirectories;
        for (DirectoryListing entries(mask_.c_str()); entries.HasEntry(); entries.Next()) {
            const WIN32_FIND_DATAA& entry = entries.Entry();
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ExamineFile(prefix, entry);
            else if (oneListing)
                NoteSubdirectory(prefix, entry, subdirectories);
        }
        if (!oneListing)
            for (DirectoryListing dirs("*.*"); dirs.HasEntry(); dirs.Next())
                if (dirs.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    NoteSubdirectory(prefix, dirs.Entry(), subdirectories);
        for (const std::string& name : subdirectories) {
            ChangeDirectory(name);
            CollectOldFiles();
            ChangeDirectory("..");
        }
    }

  private:
    // A subdirectory to enter: not hidden, system, a volume label or a link.
    void NoteSubdirectory(const std::string& prefix, const WIN32_FIND_DATAA& entry,
                          std::vector<std::string>& subdirectories) {
        if ((entry.dwFileAttributes & kNotEntered) || IsDotEntry(entry.cFileName))
            return;
        const std::string name = ReachableName(entry);
        if (name.empty())
            host_.AddLog("ERROR: Cannot enter directory " + prefix + entry.cFileName);
        else
            subdirectories.push_back(name);
    }

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
