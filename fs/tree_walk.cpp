#include "fs/tree_walk.h"

#include <deque>
#include <functional>

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
// one listing buffer at a time, and only the chosen subdirectories are kept. False, with
// nothing handed over, when the directory turns out not to lie below the root. Its place is
// asked (`isBelowRoot`: its final path, which costs Wine a round trip to its server, as much
// as the listing itself) only once there is an entry to hand over: an empty directory gives
// the visitor nothing wherever it is, and trees end in many of them.
bool List(const BoundDirectory& dir, const std::function<bool()>& isBelowRoot,
          const std::string& prefix, Level& level, TreeVisitor& visitor) {
    bool begun = false, below = true;
    const FsResult listed = dir.ForEachEntry([&](ListedEntry&& entry) {
        if (entry.IsDotEntry())
            return true;
        if (!begun) {
            below = isBelowRoot();
            if (!below)
                return false;
            begun = true;
            visitor.Directory(prefix, dir);
        }
        if (visitor.Entry(prefix, entry))
            level.chosen.push_back(std::move(entry));
        return true;
    });
    if (!below)
        return false;
    if (!begun)
        visitor.Directory(prefix, dir);
    if (!listed.Ok())
        visitor.NotListed(prefix, listed);
    visitor.Listed();
    return true;
}

} // namespace

// Depth first without recursion: a chain of directories as deep as anyone can make it needs
// no more stack than a flat tree.
void WalkTree(const BoundDirectory& root, const std::string& rootPrefix,
              const std::wstring& rootFinal, TreeVisitor& visitor) {
    std::string prefix = rootPrefix;
    std::deque<Level> path(1);
    path[0].length = prefix.size();
    List(
        root, [] { return true; }, prefix, path[0], visitor);
    while (!path.empty()) {
        Level& level = path.back();
        prefix.resize(level.length);
        if (level.next == level.chosen.size()) {
            path.pop_back();
            visitor.Left();
            continue;
        }
        // A deque keeps its elements in place as it grows: `level` and `entry` stay valid.
        const ListedEntry& entry = level.chosen[visitor.Entering(level.next++)];
        const BoundDirectory& here = path.size() == 1 ? root : level.owned;
        BoundDirectory child = BoundDirectory::OpenListedChild(here, entry);
        if (!child.IsOpen()) {
            visitor.NotEntered(prefix, entry, child.Status());
            continue;
        }
        prefix += entry.Shown();
        prefix += '\\';
        Level below;
        below.owned = std::move(child);
        below.length = prefix.size();
        path.push_back(std::move(below));
        BoundDirectory& entered = path.back().owned;
        if (!List(
                entered, [&] { return entered.IsBelow(rootFinal); }, prefix, path.back(),
                visitor)) {
            path.pop_back();
            prefix.resize(level.length);
            visitor.NotEntered(prefix, entry, FsResult(kNotWhereListed, FsStep::Check));
            continue;
        }
        // Checked and seen by the visitor; kept a level, it would grow with the square of the
        // depth.
        entered.ForgetFinalPath();
    }
}
