#include "delete/directory_collector.h"

#include "app/current_directory.h"

#include <new>

namespace {

const DWORD kVolumeLabel = 0x8;
const DWORD kNotListed = FILE_ATTRIBUTE_SYSTEM | kVolumeLabel | FILE_ATTRIBUTE_REPARSE_POINT;
const DWORD kNotEntered = kNotListed | FILE_ATTRIBUTE_HIDDEN;

bool IsSubdirectory(const ListedEntry& entry, DWORD excluded) {
    return entry.IsDirectory() && !(entry.attributes & excluded) && !entry.IsDotEntry();
}

// One listing serves both passes: every listed subdirectory gets its row as the listing
// hands it over, and those that are not hidden are entered once the listing is done.
void Collect(CommandHost& host, const BoundDirectory& here, const std::wstring& rootFinal,
             DirectoryList& list) {
    const std::string base = CurrentDirectoryPrefix();
    std::vector<std::pair<ListedEntry, std::string>> descend;
    here.ForEachEntry([&](ListedEntry&& entry) {
        try {
            if (IsSubdirectory(entry, kNotListed)) {
                const std::string name = entry.Usable();
                if (name.empty()) {
                    host.AddLog("ERROR: Cannot list directory " + base +
                                NarrowOrInvalid(entry.name));
                } else {
                    const std::string path = base + name;
                    list.Add(CountSubstring(path, "\\"), path, entry.id);
                    if (IsSubdirectory(entry, kNotEntered))
                        descend.emplace_back(std::move(entry), name);
                }
            }
            host.ProcessMessages();
        } catch (const std::bad_alloc&) {
            EndByResourceError(host, "RESOURCE ERROR: Too many directories.");
        }
        return true;
    });
    for (const auto& [entry, name] : descend) {
        BoundDirectory child;
        if (!EnterListedSubdirectory(here, entry, name, rootFinal, child)) {
            host.AddLog("ERROR: Cannot enter directory " + base + name);
            continue;
        }
        Collect(host, child, rootFinal, list);
        ReturnToParent(here);
    }
}

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

void CollectDirectories(CommandHost& host, const BoundDirectory& here,
                        const std::wstring& rootFinal, DirectoryList& list) {
    Collect(host, here, rootFinal, list);
}
