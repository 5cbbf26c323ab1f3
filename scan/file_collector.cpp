#include "scan/file_collector.h"

#include "app/bound_files.h"
#include "app/current_directory.h"
#include "app/errors.h"

#include <new>
#include <vector>

namespace {

const DWORD kNotEntered = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume label */ |
                          FILE_ATTRIBUTE_REPARSE_POINT;

class OldFileWalk {
  public:
    OldFileWalk(CommandHost& host, DateTime cutOff) : host_(host), cutOff_(cutOff) {}

    // Files first, then subdirectories: files are examined as the listing hands them over,
    // one buffer at a time, and only the subdirectories are kept to be entered after the
    // last file, so a directory of millions of files never sits in memory whole.
    void CollectOldFiles(const BoundDirectory& here) {
        const std::string prefix = CurrentDirectoryPrefix();
        if (here.IsOpen())
            host_.State().listedDirectories[prefix] = here.Id();
        std::vector<ListedEntry> subdirectories;
        // A directory that cannot be listed contributes nothing.
        here.ForEachEntry([&](ListedEntry&& entry) {
            if (!entry.IsDirectory())
                ExamineFile(prefix, entry);
            else if (!(entry.attributes & kNotEntered) && !entry.IsDotEntry())
                subdirectories.push_back(std::move(entry));
            return true;
        });
        for (const ListedEntry& entry : subdirectories)
            Descend(here, prefix, entry);
    }

  private:
    void Descend(const BoundDirectory& here, const std::string& prefix, const ListedEntry& entry) {
        const std::string name = entry.Usable();
        BoundDirectory child;
        if (name.empty() ||
            !EnterListedSubdirectory(here, entry, name, host_.State().listedRootFinal, child)) {
            host_.AddLog("ERROR: Cannot enter directory " + prefix + NarrowOrInvalid(entry.name));
            return;
        }
        CollectOldFiles(child);
        ReturnToParent(here);
    }

    void ExamineFile(const std::string& prefix, const ListedEntry& entry) {
        try {
            ++host_.State().counters.examined;
            DateTime created = 0, modified = 0;
            const bool old = AreOldStamps(entry.created, entry.written, cutOff_, created, modified);
            DateTime accessed = FileTimeToLocalDateTime(entry.accessed);
            int32_t age = AgeInDays(host_.State().scanStart, created);
            if (old)
                ListOldFile(prefix, entry, created, modified, accessed, age);
            host_.ProcessMessages();
            if (host_.State().stop)
                EndByStop(host_);
        } catch (const std::bad_alloc&) {
            EndByResourceError(host_, "RESOURCE ERROR: Too many files.");
        }
    }

    void ListOldFile(const std::string& prefix, const ListedEntry& entry, DateTime created,
                     DateTime modified, DateTime accessed, int32_t age) {
        const std::string name = entry.Usable();
        if (name.empty()) {
            host_.AddLog("ERROR: Cannot list file " + prefix + NarrowOrInvalid(entry.name));
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
    DateTime cutOff_;
};

} // namespace

void FindOldFiles(CommandHost& host, const std::string& root, DateTime cutOff) {
    RunState& state = host.State();
    ChangeDirectory(root);
    const BoundDirectory top = BoundDirectory::OpenCurrent();
    // A root that exists but cannot be opened is an early end, not an empty tree.
    if (!top.IsOpen())
        throw CannotOpenDirectory(root, top.Error());
    state.scanRoot = root;
    state.scanCutOff = cutOff;
    state.listedDirectories.clear();
    state.listedRootId = top.Id();
    state.listedRootPrefix = CurrentDirectoryPrefix();
    state.listedRootFinal = top.FinalPath();
    OldFileWalk(host, cutOff).CollectOldFiles(top);
    ChangeDirectory(state.startDirectory);
}
