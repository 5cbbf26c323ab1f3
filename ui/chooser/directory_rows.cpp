#include "ui/chooser/directory_rows.h"

#include <algorithm>

#include "fs/directory_listing.h"
#include "fs/exact_names.h"
#include "fs/path_text.h"

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

bool PreservesCase(const std::string& root) {
    DWORD flags = 0;
    return !GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
           (flags & FILE_CASE_PRESERVED_NAMES);
}

std::string Lower(std::string s) {
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

} // namespace

void DirectoryRows::Read(const std::string& current) {
    const std::string root = current.substr(0, 3);
    // A volume that does not keep the case of names shows them in lower case.
    const bool lower = !PreservesCase(root);
    auto shown = [lower](const std::string& name) { return lower ? Lower(name) : name; };
    rows_.clear();
    files_.clear();
    rows_.push_back(
        {shown(root), root, 0, current.size() <= 3 ? RowKind::kCurrent : RowKind::kOnTheWay});
    std::string path = root;
    int depth = 1;
    for (size_t start = 3; start < current.size();) {
        const size_t slash = NextDelimiter(current, start);
        const bool last = slash == std::string::npos;
        const std::string part = current.substr(start, last ? std::string::npos : slash - start);
        path = WithTrailingBackslash(path) + part;
        rows_.push_back(
            {shown(part), path, depth++, last ? RowKind::kCurrent : RowKind::kOnTheWay});
        if (last)
            break;
        start = slash + 1;
    }
    std::vector<std::string> subdirectories;
    for (DirectoryListing entries(WithTrailingBackslash(current) + "*.*"); entries.HasEntry();
         entries.Next()) {
        const WIN32_FIND_DATAW& e = entries.Entry();
        // Only names that reach exactly what was listed; "." and ".." are not plain names.
        const std::string name = UsableName(e.cFileName, e.cAlternateFileName);
        if (name.empty())
            continue;
        if (!(e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files_.push_back(shown(name));
        else if (!(e.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            subdirectories.push_back(name);
    }
    std::sort(subdirectories.begin(), subdirectories.end(), LessIgnoringCase);
    for (const std::string& name : subdirectories)
        rows_.push_back(
            {shown(name), WithTrailingBackslash(current) + name, depth, RowKind::kSubdirectory});
}

size_t DirectoryRows::CurrentRow() const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].kind == RowKind::kCurrent)
            return i;
    return 0;
}

std::vector<std::string> DirectoryRows::Texts() const {
    std::vector<std::string> texts;
    for (const DirectoryRow& row : rows_)
        texts.push_back(std::string(static_cast<size_t>(row.depth) * 2, ' ') + row.name);
    return texts;
}
