#include "scan/file_collector.h"

#include "app/errors.h"
#include "app/program_location.h"
#include "fs/current_directory.h"
#include "fs/exact_names.h"
#include "fs/tree_walk.h"

#include <new>

namespace {

// Files first, then subdirectories: every file is examined as the listing hands it over,
// and the subdirectories that may be entered are walked after the last file.
class OldFileWalk : public TreeVisitor {
  public:
    OldFileWalk(CommandHost& host, DateTime cutOff) : host_(host), cutOff_(cutOff) {}

    void Directory(const std::string& prefix, const BoundDirectory& here) override {
        if (here.IsOpen())
            host_.State().listedDirectories[prefix] = here.Id();
    }

    bool Entry(const std::string& prefix, const ListedEntry& entry) override {
        const RunState& state = host_.State();
        if (!entry.IsDirectory() && !state.ownFiles.Contains(entry.id))
            ExamineFile(prefix, entry);
        if (IsSubdirectory(entry, kNeverListed))
            ListSubdirectory(prefix, entry);
        return IsSubdirectory(entry, kNeverEntered);
    }

    void NotEntered(const std::string& prefix, const ListedEntry& entry, const std::string&,
                    FsResult why) override {
        host_.AddLog("ERROR: Cannot enter directory " + prefix + NarrowOrInvalid(entry.name));
        host_.AddLog("REASON: " + ReasonText(why.Code()));
    }

  private:
    // A candidate of the empty-directory removal. One without a usable name cannot be one;
    // where it is not to be entered either, nothing else says so.
    void ListSubdirectory(const std::string& prefix, const ListedEntry& entry) {
        try {
            const std::string name = entry.Usable();
            if (!name.empty()) {
                const std::string path = prefix + name;
                host_.State().listedSubdirectories.Add(CountSubstring(path, "\\"), path, entry.id);
            } else if (!IsSubdirectory(entry, kNeverEntered)) {
                host_.AddLog("ERROR: Cannot list directory " + prefix +
                             NarrowOrInvalid(entry.name));
            }
        } catch (const std::bad_alloc&) {
            EndByResourceError(host_, "RESOURCE ERROR: Too many directories.");
        }
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
    ThrowIfFailed(ChangeDirectory(root));
    const BoundDirectory top = BoundDirectory::OpenCurrent();
    // A root that exists but cannot be opened is an early end, not an empty tree.
    if (!top.IsOpen())
        throw CannotOpenDirectory(root, top.Status().Code());
    state.scanRoot = root;
    state.scanCutOff = cutOff;
    state.listedDirectories.clear();
    state.listedSubdirectories.Clear();
    state.listedRootId = top.Id();
    ThrowIfFailed(CurrentDirectoryPrefix(state.listedRootPrefix));
    state.listedRootFinal = top.FinalPath();
    FileIdentity rootIdentity;
    ThrowIfFailed(ReadIdentity(top.Handle(), rootIdentity));
    state.ownFiles = OwnFiles::Find(ExecutablePath(), state.programDirectory,
                                    host.Log().FileHandle(), rootIdentity.volume);
    ThrowIfFailed(ChangeDirectory(state.startDirectory));
    OldFileWalk walk(host, cutOff);
    WalkTree(top, state.listedRootPrefix, top.FinalPath(), walk);
}
