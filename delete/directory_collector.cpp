#include "delete/directory_collector.h"

#include "app/current_directory.h"
#include "app/handles.h"
#include "scan/entry_name.h"

#include <new>
#include <vector>

namespace {

const DWORD kVolumeLabel = 0x8;
const DWORD kNotListed = FILE_ATTRIBUTE_SYSTEM | kVolumeLabel | FILE_ATTRIBUTE_REPARSE_POINT;
const DWORD kNotEntered = kNotListed | FILE_ATTRIBUTE_HIDDEN;

bool IsSubdirectory(const WIN32_FIND_DATAA& entry, DWORD excluded) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(entry.dwFileAttributes & excluded) && !IsDotEntry(entry.cFileName);
}

void Collect(CommandHost& host, DirectoryList& list) {
    const std::string base = CurrentDirectoryPrefix();
    // One listing serves both passes: every listed subdirectory gets its row, and those that
    // are not hidden are entered once the listing is done.
    std::vector<std::string> descend;
    for (DirectoryListing entries("*.*"); entries.HasEntry(); entries.Next()) {
        try {
            const WIN32_FIND_DATAA& entry = entries.Entry();
            if (IsSubdirectory(entry, kNotListed)) {
                const std::string name = ReachableName(entry);
                if (name.empty()) {
                    host.AddLog("ERROR: Cannot list directory " + base + entry.cFileName);
                } else {
                    const std::string path = base + name;
                    list.Add(CountSubstring(path, "\\"), path);
                    if (IsSubdirectory(entry, kNotEntered))
                        descend.push_back(name);
                }
            }
            host.ProcessMessages();
        } catch (const std::bad_alloc&) {
            EndByResourceError(host, "RESOURCE ERROR: Too many directories.");
        }
    }
    for (const std::string& name : descend) {
        ChangeDirectory(name);
        Collect(host, list);
        ChangeDirectory("..");
    }
}

} // namespace

void DirectoryList::Add(int level, const std::string& directory) {
    if (level < 0)
        level = 0;
    if (byLevel_.size() <= static_cast<size_t>(level))
        byLevel_.resize(static_cast<size_t>(level) + 1);
    byLevel_[static_cast<size_t>(level)].push_back(directory);
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
        for (const std::string& directory : byLevel_[level])
            rows.push_back(std::to_string(level) + "\t" + directory);
    return rows;
}

int CountSubstring(const std::string& text, const std::string& sub) {
    if (sub.empty())
        return 0;
    int count = 0;
    for (size_t at = text.find(sub); at != std::string::npos; at = text.find(sub, at + sub.size()))
        ++count;
    return count;
}

void CollectDirectories(CommandHost& host, DirectoryList& list) {
    Collect(host, list);
}

bool IsDirectoryEmpty(const std::string& path) {
    DirectoryListing entries((path + "\\*.*").c_str());
    int found = 0;
    for (; entries.HasEntry() && found < 3; entries.Next())
        ++found;
    return found == 2;
}
