#include "delete/empty_directory_removal.h"

#include "base/at_scope_end.h"
#include "command/errors.h"
#include "delete/bound_deletion.h"
#include "fs/tree_walk.h"

#include <algorithm>
#include <new>

namespace {

const DWORD kOwnEntryExcluded = FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute;

// Opened for removal with attribute writes for the reset, else without them (Wine refuses
// them on a read-only directory and lets the reset pass all the same). One that cannot be
// opened for removal at all (in use, access denied) is still tested, and its removal then
// fails with the reason that open gave (`removal`).
FsResult OpenForRemoval(HANDLE parent, const std::wstring& name, FileHandle& dir,
                        FsResult& removal) {
    const auto open = [&](ACCESS_MASK access) {
        return OpenInDirectory(parent, name, kListAccess | access, ItemKind::kDirectory, dir);
    };
    removal = open(DELETE | FILE_WRITE_ATTRIBUTES);
    if (removal.Code() == ERROR_ACCESS_DENIED)
        removal = open(DELETE);
    return removal.Ok() ? removal : open(0);
}

// Each directory is reached from the scan's root one name at a time, never following a
// link, and checked to be the one the collector listed; its emptiness, its times, the
// attribute reset and the removal all go through that one handle.
class EmptyDirectoryVisit {
  public:
    EmptyDirectoryVisit(CommandHost& host, HANDLE root)
        : host_(host), scan_(host.Found()), cutOff_(scan_.Root().cutOff), tree_(scan_, root) {
        for (size_t i = 0; i < scan_.DirectoryCount(); ++i)
            holdsOneThatStays_.push_back(0);
    }

    void Visit(FoundList::Index directory) {
        // The removals waiting are in one parent; a parent is visited after its children.
        if (waiting_.size() != 0 && scan_.Directory(directory).parent != WaitingIn())
            ConfirmWaiting();
        if (!RemovesOrWaits(directory))
            Stays(directory);
    }

    // Lists the parent of the removals waiting once and reports each: the lines come in the
    // order of the visits, as no other line is logged while removals wait.
    void ConfirmWaiting() {
        if (waiting_.size() == 0)
            return;
        const FoundList::Index parent = WaitingIn();
        const ChunkedVector<WaitingRemoval> waiting = std::move(waiting_);
        const auto report = [this](size_t directory, FsResult outcome) {
            const auto index = static_cast<FoundList::Index>(directory);
            if (!outcome.Ok()) {
                Stays(index);
                LogFailure(index, outcome);
                return;
            }
            ++host_.State().counters.removed;
            host_.AddLog("Deleted empty directory: " + PathOf(index));
        };
        ConfirmEachGoneIn(
            tree_, parent, waiting,
            [this](size_t directory) {
                return scan_.ExactName(
                    scan_.Directory(static_cast<FoundList::Index>(directory)).name);
            },
            report);
    }

  private:
    // True when the directory was removed, or waits to be seen gone with its siblings.
    bool RemovesOrWaits(FoundList::Index directory) {
        // Seen not old in this run, it cannot be old now; holding a listed subdirectory that
        // stays, it is not empty (were that taken away since, its last write would be new,
        // and where a file system keeps no such time it is left for a later run). Only
        // Debug, whose lines tell every test, opens it.
        if (!host_.State().settings.debug &&
            (scan_.Directory(directory).seenNotOld || holdsOneThatStays_[directory]))
            return false;
        if (host_.State().settings.debug)
            Debug("Checking directory " + PathOf(directory));
        FileHandle dir;
        FsResult removal;
        std::wstring name;
        HANDLE parent = nullptr;
        ItemFacts facts;
        const FsResult opened = Open(directory, name, parent, dir, removal, facts);
        if (opened.Code() == kNotWhereListed) {
            LogFailure(directory, opened);
            return false;
        }
        // Listing a placeholder folder may show none of what the provider keeps for it, and its
        // removal would take the folder away in the cloud too.
        if (opened.Ok() && IsPlaceholder(facts.attributes, facts.tag)) {
            Debug("Directory is a cloud placeholder or offline: it is kept.");
            return false;
        }
        if (!opened.Ok()) {
            Debug("Directory is NOT empty.");
            return false;
        }
        // The times cost one query where the emptiness test reads the whole directory, and a
        // directory the deletion emptied is new: without Debug, whose lines follow the order of
        // the tests, a directory that is not old (or not ours) is never listed.
        const OwnEntry entry = ReadOwnEntry(dir.get());
        if (!host_.State().settings.debug && !(entry.Ours() && entry.old))
            return false;
        if (!IsEmptyDirectory(dir.get())) {
            Debug("Directory is NOT empty.");
            return false;
        }
        Debug("Directory is empty.");
        if (!entry.Ours())
            return false; // its entry cannot be read, or it is not ours to remove
        const RegionalFormats& formats = host_.Formats();
        Debug("Created:  " + DateTimeText(entry.created, formats));
        Debug("Modified: " + DateTimeText(entry.modified, formats));
        Debug("Before:   " + DateTimeText(cutOff_, formats));
        if (!entry.old) {
            Debug("Directory is NOT old.");
            return false;
        }
        Debug("Directory is old.");
        ++host_.State().counters.old;
        scan_.AddDirectoryRow(directory, entry.created, entry.modified, entry.accessed);
        if (!removal.Ok()) {
            LogFailure(directory, removal);
            return false;
        }
        return Remove(parent, name, dir, directory, entry.attributes, facts.id);
    }

    // A directory left where it is keeps its parent from being empty.
    void Stays(FoundList::Index directory) {
        holdsOneThatStays_[scan_.Directory(directory).parent] = 1;
    }

  private:
    // A directory's own entry as its handle reads it; Modified is shifted.
    struct OwnEntry {
        bool read = false;
        bool old = false;
        DWORD attributes = 0;
        DateTime created = 0, modified = 0, accessed = 0;
        // Read, and not a system entry or a volume label.
        bool Ours() const { return read && !(attributes & kOwnEntryExcluded); }
    };

    OwnEntry ReadOwnEntry(HANDLE dir) const {
        OwnEntry entry;
        FILETIME created, written, accessed;
        entry.read = ReadStamps(dir, created, written, accessed, entry.attributes).Ok();
        if (!entry.read)
            return entry;
        entry.old = AreOldDirectoryStamps(created, written, cutOff_, entry.created, entry.modified);
        entry.accessed = FileTimeToLocalDateTime(accessed);
        return entry;
    }

    // The directory open, kNotWhereListed when it or one above it is not the listed one, or
    // another failure (it cannot be opened: passed over as not empty).
    FsResult Open(FoundList::Index directory, std::wstring& name, HANDLE& parent, FileHandle& dir,
                  FsResult& removal, ItemFacts& facts) {
        const ScanDirectory& listed = scan_.Directory(directory);
        name = scan_.ExactName(listed.name);
        if (name.empty())
            return FsResult(kNotWhereListed, FsStep::Check);
        // No handle of the chain may keep the directory that is about to go.
        tree_.Release(directory);
        FsResult opened = tree_.Open(listed.parent, parent);
        if (opened.Ok())
            opened = OpenForRemoval(parent, name, dir, removal);
        if (!opened.Ok())
            return opened;
        return IsListedItem(dir.get(), listed.id, facts) ? FsResult::Success()
                                                         : FsResult(kNotWhereListed, FsStep::Check);
    }

    // The parent of the removals waiting, which are siblings.
    FoundList::Index WaitingIn() const {
        return scan_.Directory(static_cast<FoundList::Index>(waiting_[0].item)).parent;
    }

    void Debug(const std::string& line) {
        if (host_.State().settings.debug)
            Log(line);
    }

    // Every line of the visit: the removals waiting are reported first.
    void Log(const std::string& line) {
        ConfirmWaiting();
        host_.AddLog(line);
    }

    // Read-only, then hidden, each cleared on its own (a failure to clear is ignored); a
    // directory that then stays gets its bits back, and so is seen gone at once. The others
    // wait to be seen gone with their siblings, by one listing of their parent.
    bool Remove(HANDLE parent, const std::wstring& name, FileHandle& dir,
                FoundList::Index directory, DWORD attributes, FileId id) {
        const DWORD original = attributes;
        for (DWORD bit : {DWORD(FILE_ATTRIBUTE_READONLY), DWORD(FILE_ATTRIBUTE_HIDDEN)})
            if ((attributes & bit) &&
                WriteAttributesThroughHandle(dir.get(), attributes & ~bit).Ok())
                attributes &= ~bit;
        if (attributes == original) {
            const FsResult marked = MarkAndClose(parent, name, dir, support_);
            if (!marked.Ok()) {
                LogFailure(directory, marked);
                return false;
            }
            waiting_.push_back({directory, id});
            return true;
        }
        const FsResult removed = RemoveListedItem(parent, name, dir, support_, id);
        if (!removed.Ok()) {
            PutBitsBack(parent, name, id, original);
            LogFailure(directory, removed);
            return false;
        }
        ++host_.State().counters.removed;
        Log("Deleted empty directory: " + PathOf(directory));
        return true;
    }

    // Through a new handle to the same directory (the removal closed its own), and only
    // while the name still holds the listed one.
    static void PutBitsBack(HANDLE parent, const std::wstring& name, FileId id, DWORD attributes) {
        FileHandle again;
        if (OpenInDirectory(parent, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                            ItemKind::kDirectory, again)
                .Ok() &&
            IsListedItem(again.get(), id))
            (void)WriteAttributesThroughHandle(again.get(), attributes);
    }

    // Made only for a line that names it: a chain's every level would make it again.
    std::string PathOf(FoundList::Index directory) const {
        std::string path = scan_.DirectoryText(directory);
        path.pop_back(); // its trailing backslash
        return path;
    }

    void LogFailure(FoundList::Index directory, FsResult failed) {
        Log("ERROR: Could not delete empty directory: " + PathOf(directory));
        LogReason(host_, failed);
    }

    CommandHost& host_;
    FoundList& scan_;
    DateTime cutOff_;
    ListedTree tree_;
    DispositionSupport support_;
    // Removed, their names not yet seen gone; all in one directory (WaitingIn).
    ChunkedVector<WaitingRemoval> waiting_;
    // For each listed directory: one of its listed subdirectories stays.
    ChunkedVector<uint8_t> holdsOneThatStays_;
};

// Every listed directory below the root, deepest first; within a level, the last listed
// first.
ChunkedVector<FoundList::Index> DeepestFirst(const FoundList& scan) {
    ChunkedVector<FoundList::Index> order;
    for (size_t i = 1; i < scan.DirectoryCount(); ++i)
        order.push_back(static_cast<FoundList::Index>(i));
    std::sort(order.begin(), order.end(), [&scan](FoundList::Index a, FoundList::Index b) {
        const uint32_t levelA = scan.Directory(a).level, levelB = scan.Directory(b).level;
        return levelA != levelB ? levelA > levelB : a > b;
    });
    return order;
}

} // namespace

void RemoveEmptyDirectories(CommandHost& host) {
    // The rows of the phase take their places in the list once it ends, however it ends.
    const AtScopeEnd placeRows([&host] {
        try {
            host.Found().PlaceDirectoryRows(LocaleSortKey);
            host.FoundListChanged();
        } catch (const std::bad_alloc&) {
            // The rows stay unseen; the phase's end already tells why.
        }
    });
    InPhase(host, Phase::Removal, [&] {
        host.AddLog("Deleting empty directories...");
        // The scan's root, taken by its identity, and the subdirectories that scan listed:
        // no second walk, and nothing made since is a candidate.
        const FoundList& scan = host.Found();
        const BoundDirectory top = BoundDirectory::OpenPath(scan.Root().path);
        ThrowIfFailed(scan.IsScannedRoot(top));
        const WideIdsInForce ids(top.WideIds());
        EmptyDirectoryVisit visit(host, top.Handle());
        const ChunkedVector<FoundList::Index> order = DeepestFirst(scan);
        try {
            for (size_t i = 0; i < order.size(); ++i) {
                // Nothing after a stop: an unattended run then ends early, not with "Finished.".
                HearStop(host, [&visit] { visit.ConfirmWaiting(); });
                visit.Visit(order[i]);
            }
        } catch (...) {
            visit.ConfirmWaiting(); // what was removed is reported however the visit ends
            throw;
        }
        visit.ConfirmWaiting();
        host.AddLog(std::to_string(host.State().counters.removed) + " empty directories deleted.");
    });
}
