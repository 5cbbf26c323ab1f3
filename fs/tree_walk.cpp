#include "fs/tree_walk.h"

#include <vector>

#include "fs/current_directory.h"

// A directory of millions of entries never sits in memory whole: entries go to the visitor
// one listing buffer at a time, and only the chosen subdirectories are kept.
FsResult WalkTree(const BoundDirectory& here, const std::wstring& rootFinal, TreeVisitor& visitor) {
    std::string prefix;
    const FsResult current = CurrentDirectoryPrefix(prefix);
    if (!current.Ok())
        return current;
    visitor.Directory(prefix, here);
    std::vector<ListedEntry> chosen;
    // A directory that cannot be listed contributes nothing.
    (void)here.ForEachEntry([&](ListedEntry&& entry) {
        if (!entry.IsDotEntry() && visitor.Entry(prefix, entry))
            chosen.push_back(std::move(entry));
        return true;
    });
    for (const ListedEntry& entry : chosen) {
        const std::string name = entry.Usable();
        BoundDirectory child;
        bool entered = false;
        if (!name.empty()) {
            const FsResult entering =
                EnterListedSubdirectory(here, entry, name, rootFinal, child, entered);
            if (!entering.Ok())
                return entering;
        }
        if (!entered) {
            visitor.NotEntered(prefix, entry, name);
            continue;
        }
        const FsResult below = WalkTree(child, rootFinal, visitor);
        if (!below.Ok())
            return below;
        const FsResult back = ReturnToParent(here);
        if (!back.Ok())
            return back;
    }
    return FsResult::Success();
}
