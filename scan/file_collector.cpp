#include "scan/file_collector.h"

#include "command/errors.h"
#include "base/program_location.h"
#include "fs/current_directory.h"
#include "fs/path_text.h"
#include "fs/tree_walk.h"
#include "list/scan_builder.h"

namespace {

// Files first, then subdirectories: every file is examined as the listing hands it over,
// and the subdirectories to enter are walked after the last file, in the list's order,
// with the directory's old files given to the list between them (ScanBuilder).
class OldFileWalk : public TreeVisitor {
  public:
    OldFileWalk(CommandHost& host, ScanBuilder& builder, DateTime cutOff)
        : host_(host), builder_(builder), cutOff_(cutOff) {}

    void Directory(const std::string&, const BoundDirectory& here) override {
        Guarded([&] { builder_.BeginDirectory(here.Id()); });
        inProgramDirectory_ =
            host_.State().ownFiles.IsProgramDirectory(here.Id(), here.FinalPath());
    }

    bool Entry(const std::string&, const ListedEntry& entry) override {
        if (!entry.IsDirectory() && !IsOwnFile(entry))
            ExamineFile(entry);
        if (!IsSubdirectory(entry, kNeverListed))
            return false;
        // Every listed subdirectory, hidden ones too, is a candidate of the empty-directory
        // removal.
        const bool enter = IsSubdirectory(entry, kNeverEntered);
        const bool notOld = !AreOldDirectoryStamps(entry.created, entry.written, cutOff_);
        Guarded(
            [&] { builder_.AddSubdirectory(entry.Shown(), entry.name, entry.id, enter, notOld); });
        return enter;
    }

    void Listed() override {
        Guarded([&] { builder_.EndListing(); });
    }

    size_t Entering(size_t position) override {
        size_t chosen = position;
        Guarded([&] { chosen = builder_.Entering(position); });
        host_.FoundListChanged();
        return chosen;
    }

    void Left() override {
        Guarded([&] { builder_.EndDirectory(); });
        host_.FoundListChanged();
    }

    void NotEntered(const std::string& prefix, const ListedEntry& entry, FsResult why) override {
        host_.AddLog("ERROR: Cannot enter directory " + prefix + entry.Shown());
        LogReason(host_, why);
    }

    void NotListed(const std::string& prefix, FsResult why) override {
        host_.AddLog("ERROR: Cannot list directory " + DirectoryOfPrefix(prefix));
        LogReason(host_, why);
    }

  private:
    // By identity; where the listing gives none, by the program's folder and exact names.
    bool IsOwnFile(const ListedEntry& entry) const {
        const OwnFiles& own = host_.State().ownFiles;
        return own.Contains(entry.id) ||
               (!IsKnownId(entry.id) && inProgramDirectory_ && own.IsOwnName(entry.name));
    }

    template <typename Step> void Guarded(Step step) { InPhase(host_, Phase::Scan, step); }

    void ExamineFile(const ListedEntry& entry) {
        Guarded([&] {
            ++host_.State().counters.examined;
            DateTime created = 0, modified = 0;
            if (AreOldStamps(entry.created, entry.written, cutOff_, created, modified)) {
                builder_.AddFile(entry.Shown(), entry.name, entry.id, created, modified,
                                 FileTimeToLocalDateTime(entry.accessed));
                ++host_.State().counters.old;
            }
        });
        HearStop(host_);
    }

    CommandHost& host_;
    ScanBuilder& builder_;
    DateTime cutOff_;
    bool inProgramDirectory_ = false;
};

} // namespace

void FindOldFiles(CommandHost& host, const std::string& root, DateTime cutOff) {
    RunState& state = host.State();
    ThrowIfFailed(ChangeDirectory(root));
    const BoundDirectory top = BoundDirectory::OpenCurrent();
    // A root that exists but cannot be opened is an early end, not an empty tree.
    if (!top.IsOpen())
        throw CannotOpenDirectory(root, top.Status().Code());
    const WideIdsInForce ids(top.WideIds());
    ScanRoot listed;
    listed.path = root;
    listed.id = top.Id();
    ThrowIfFailed(CurrentDirectoryPrefix(listed.prefix));
    listed.finalPath = top.FinalPath();
    listed.scanStart = state.scanStart;
    listed.cutOff = cutOff;
    FileIdentity rootIdentity;
    ThrowIfFailed(ReadIdentity(top.Handle(), rootIdentity));
    state.ownFiles = OwnFiles::Find(ExecutablePath(), state.settings.programDirectory,
                                    host.Log().FileHandle(), rootIdentity.volume);
    ThrowIfFailed(ChangeDirectory(state.settings.startDirectory));
    FoundList& scan = host.Found();
    InPhase(host, Phase::Scan, [&] { scan.Start(listed); });
    ScanBuilder builder(scan, kLocaleOrder);
    OldFileWalk walk(host, builder, cutOff);
    WalkTree(top, listed.prefix, top.FinalPath(), walk);
}
