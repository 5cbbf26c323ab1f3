#include "fs/directory_list.h"

#include "fs/path_text.h"

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
