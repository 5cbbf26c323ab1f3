#include "fs/tree_walk.h"

#include <deque>

#include "base/chunked_vector.h"

namespace {

// One directory on the way down: its handle (none for the root, which the caller owns),
// the length of the text its rows begin with, and its chosen subdirectories with the next
// position to enter. The texts of all levels are one: each is the start of the deepest one,
// so a chain of any depth keeps its path text once, not once a level. What grows with a
// directory or with the depth is kept in chunks, never in one large block.
struct Level {
    BoundDirectory owned;
    size_t length = 0;
    ChunkedVector<ListedEntry> chosen;
    size_t next = 0;
};

// A directory of millions of entries never sits in memory whole: entries go to the visitor
// one listing buffer at a time, and only the chosen subdirectories are kept.
void List(const BoundDirectory& dir, const std::string& prefix, Level& level,
          TreeVisitor& visitor) {
    visitor.Directory(prefix, dir);
    const FsResult listed = dir.ForEachEntry([&](ListedEntry&& entry) {
        if (!entry.IsDotEntry() && visitor.Entry(prefix, entry))
            level.chosen.push_back(std::move(entry));
        return true;
    });
    if (!listed.Ok())
        visitor.NotListed(prefix, listed);
    visitor.Listed();
}

} // namespace

// Depth first without recursion: a chain of directories as deep as anyone can make it needs
// no more stack than a flat tree.
void WalkTree(const BoundDirectory& root, const std::string& rootPrefix,
              const std::wstring& rootFinal, TreeVisitor& visitor) {
    std::string prefix = rootPrefix;
    std::deque<Level> path(1);
    path[0].length = prefix.size();
    List(root, prefix, path[0], visitor);
    while (!path.empty()) {
        Level& level = path.back();
        prefix.resize(level.length);
        if (level.next == level.chosen.size()) {
            path.pop_back();
            visitor.Left();
            continue;
        }
        const ListedEntry& entry = level.chosen[visitor.Entering(level.next++)];
        const BoundDirectory& here = path.size() == 1 ? root : level.owned;
        BoundDirectory child = BoundDirectory::OpenListedChild(here, entry, rootFinal);
        if (!child.IsOpen()) {
            visitor.NotEntered(prefix, entry, child.Status());
            continue;
        }
        prefix += entry.Shown();
        prefix += '\\';
        Level below;
        below.owned = std::move(child);
        below.length = prefix.size();
        path.push_back(std::move(below)); // `level` and `entry` are not used past this point
        List(path.back().owned, prefix, path.back(), visitor);
        // Checked at its open and seen by the visitor; kept a level, it would grow with the
        // square of the depth.
        path.back().owned.ForgetFinalPath();
    }
}
