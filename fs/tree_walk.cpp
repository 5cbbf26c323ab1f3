#include "fs/tree_walk.h"

#include <vector>

namespace {

// One directory on the way down: its handle (none for the root, which the caller owns),
// the text its rows begin with, and its chosen subdirectories with the next one to enter.
struct Level {
    BoundDirectory owned;
    std::string prefix;
    std::vector<ListedEntry> chosen;
    size_t next = 0;
};

// A directory of millions of entries never sits in memory whole: entries go to the visitor
// one listing buffer at a time, and only the chosen subdirectories are kept.
void List(const BoundDirectory& dir, Level& level, TreeVisitor& visitor) {
    visitor.Directory(level.prefix, dir);
    const FsResult listed = dir.ForEachEntry([&](ListedEntry&& entry) {
        if (!entry.IsDotEntry() && visitor.Entry(level.prefix, entry))
            level.chosen.push_back(std::move(entry));
        return true;
    });
    if (!listed.Ok())
        visitor.NotListed(level.prefix, listed);
    visitor.Listed(level.chosen);
}

} // namespace

// Depth first without recursion: a chain of directories as deep as anyone can make it needs
// no more stack than a flat tree.
void WalkTree(const BoundDirectory& root, const std::string& prefix, const std::wstring& rootFinal,
              TreeVisitor& visitor) {
    std::vector<Level> path(1);
    path[0].prefix = prefix;
    List(root, path[0], visitor);
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next == level.chosen.size()) {
            path.pop_back();
            visitor.Left();
            continue;
        }
        visitor.Entering(level.next);
        const ListedEntry& entry = level.chosen[level.next++];
        const BoundDirectory& here = path.size() == 1 ? root : level.owned;
        BoundDirectory child = BoundDirectory::OpenListedChild(here, entry, rootFinal);
        if (!child.IsOpen()) {
            visitor.NotEntered(level.prefix, entry, child.Status());
            continue;
        }
        Level below;
        below.owned = std::move(child);
        below.prefix = level.prefix + entry.Shown() + "\\";
        path.push_back(std::move(below)); // `level` and `entry` are not used past this point
        List(path.back().owned, path.back(), visitor);
    }
}
