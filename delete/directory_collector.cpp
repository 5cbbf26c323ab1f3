#include "delete/directory_collector.h"

#include "app/errors.h"
#include "fs/exact_names.h"
#include "fs/path_text.h"
#include "fs/tree_walk.h"

#include <new>

namespace {

// One listing serves both passes: every listed subdirectory gets its row as the listing
// hands it over, and those that are not hidden are entered once the listing is done.
class DirectoryWalk : public TreeVisitor {
  public:
    DirectoryWalk(CommandHost& host, DirectoryList& list) : host_(host), list_(list) {}

    bool Entry(const std::string& prefix, const ListedEntry& entry) override {
        bool enter = false;
        try {
            if (IsSubdirectory(entry, kNeverListed))
                enter = ListDirectory(prefix, entry);
            host_.ProcessMessages();
        } catch (const std::bad_alloc&) {
            EndByResourceError(host_, "RESOURCE ERROR: Too many directories.");
        }
        return enter;
    }

    void NotEntered(const std::string& prefix, const ListedEntry&, const std::string& name,
                    FsResult why) override {
        host_.AddLog("ERROR: Cannot enter directory " + prefix + name);
        host_.AddLog("REASON: " + ReasonText(why.Code()));
    }

  private:
    // Its row; true when it is to be entered too.
    bool ListDirectory(const std::string& prefix, const ListedEntry& entry) {
        const std::string name = entry.Usable();
        if (name.empty()) {
            host_.AddLog("ERROR: Cannot list directory " + prefix + NarrowOrInvalid(entry.name));
            return false;
        }
        const std::string path = prefix + name;
        list_.Add(CountSubstring(path, "\\"), path, entry.id);
        return IsSubdirectory(entry, kNeverEntered);
    }

    CommandHost& host_;
    DirectoryList& list_;
};

} // namespace

void DirectoryList::Add(int level, const std::string& directory, FileId id) {
    if (level < 0)
        level = 0;
    if (byLevel_.size() <= static_cast<size_t>(level))
        byLevel_.resize(static_cast<size_t>(level) + 1);
    byLevel_[static_cast<size_t>(level)].push_back({directory, id});
}

size_t DirectoryList::Count() const {
    size_t count = 0;
    for (const auto& level : byLevel_)
        count += level.size();
    return count;
}

std::vector<std::string> DirectoryList::Rows() const {
    std::vector<std::string> rows;
    for (size_t level = 0; level < byLevel_.size(); ++level)
        for (const ListedDirectory& directory : byLevel_[level])
            rows.push_back(std::to_string(level) + "\t" + directory.path);
    return rows;
}

int CountSubstring(const std::string& text, const std::string& sub) {
    if (sub.empty())
        return 0;
    int count = 0;
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, sub.size(), sub) == 0) {
            ++count;
            at += sub.size();
        } else {
            at = NextCharacter(text, at);
        }
    }
    return count;
}

void CollectDirectories(CommandHost& host, const BoundDirectory& here, const std::string& prefix,
                        const std::wstring& rootFinal, DirectoryList& list) {
    DirectoryWalk walk(host, list);
    WalkTree(here, prefix, rootFinal, walk);
}
