#include "list/found_list.h"

#include <algorithm>
#include <cstring>

#include "fs/exact_names.h"

const FoundColumn FoundList::kColumns[kColumnCount] = {
    {"File", 350, false},     {"Created", 120, false},  {"Modified", 120, false},
    {"Accessed", 120, false}, {"Age (Days)", 70, true},
};

namespace {

// A name in the pool: the shown text and its NUL, then 0, or 1 followed by the exact name
// (its length in UTF-16 units, two bytes, and the units).
const char kShownIsExact = 0, kExactFollows = 1;

} // namespace

void FoundList::Start(const ScanRoot& root) {
    Clear();
    root_ = root;
    directories_.push_back({kRoot, AddName(std::string(), std::wstring()), root.id, 0, 0});
}

void FoundList::Clear() {
    root_ = ScanRoot();
    names_.Clear();
    directories_.clear();
    files_.clear();
    runs_.clear();
    directoryRows_.clear();
    waitingRows_.clear();
    heldFrom_ = SIZE_MAX;
}

FsResult FoundList::IsScannedRoot(const BoundDirectory& root) const {
    if (!root.IsOpen())
        return root.Status();
    return IsSameRoot(root, root_.id, root_.finalPath) ? FsResult::Success()
                                                       : FsResult(kNotWhereListed, FsStep::Check);
}

TextPool::Offset FoundList::AddName(const std::string& shown, const std::wstring& exact) {
    std::wstring back;
    const bool same = ToExactWide(shown, back) && back == exact;
    std::string entry = shown;
    entry += '\0';
    entry += same ? kShownIsExact : kExactFollows;
    if (!same) {
        const uint16_t units = static_cast<uint16_t>(std::min<size_t>(exact.size(), 0xFFFF));
        entry.append(reinterpret_cast<const char*>(&units), sizeof units);
        entry.append(reinterpret_cast<const char*>(exact.data()), units * sizeof(wchar_t));
    }
    return names_.Add(entry.data(), entry.size());
}

std::wstring FoundList::ExactName(TextPool::Offset name) const {
    const char* shown = names_.At(name);
    const char* tag = shown + std::strlen(shown) + 1;
    std::wstring exact;
    if (*tag == kShownIsExact) {
        (void)ToExactWide(shown, exact);
        return exact;
    }
    uint16_t units = 0;
    std::memcpy(&units, tag + 1, sizeof units);
    exact.resize(units);
    std::memcpy(&exact[0], tag + 1 + sizeof units, units * sizeof(wchar_t));
    return exact;
}

FoundList::Index FoundList::AddDirectory(Index parent, TextPool::Offset name, FileId id,
                                         bool seenNotOld) {
    const Index index = static_cast<Index>(directories_.size());
    directories_.push_back({parent, name, id, directories_[parent].level + 1, seenNotOld});
    return index;
}

void FoundList::AppendDirectoryText(Index directory, std::string& text) const {
    text += root_.prefix;
    chain_.clear();
    for (Index at = directory; at != kRoot; at = directories_[at].parent)
        chain_.push_back(at);
    for (size_t i = chain_.size(); i-- > 0;) {
        text += ShownName(directories_[chain_[i]].name);
        text += '\\';
    }
}

std::string FoundList::DirectoryText(Index directory) const {
    std::string text;
    AppendDirectoryText(directory, text);
    return text;
}

void FoundList::StepsTo(Index directory, std::vector<ListedStep>& steps) const {
    const uint32_t level = directory == kRoot ? 0 : directories_[directory].level;
    Index at = directory;
    uint32_t shared = level; // the steps both ways hold, from the root
    for (; at != kRoot; at = directories_[at].parent, --shared) {
        if (shared <= steps.size() && steps[shared - 1].directory == at)
            break;
    }
    steps.resize(level);
    for (Index below = directory; below != at; below = directories_[below].parent) {
        const ScanDirectory& listed = directories_[below];
        steps[listed.level - 1] = {below, ExactName(listed.name), listed.id};
    }
}

void FoundList::AppendFile(const ScanRow& row) {
    ContinueRun(files_.size(), row.directory);
    files_.push_back({row.name, row.id, row.created, row.modified, row.accessed});
}

void FoundList::ContinueRun(size_t row, Index directory) {
    if (runs_.size() == 0 || runs_.back().directory != directory)
        runs_.push_back({static_cast<uint32_t>(row), directory});
}

FoundList::Index FoundList::FileDirectory(size_t row) const {
    // The rows at the list's end, which the scan asks for as it goes, are in the last run.
    if (runs_.back().first <= row)
        return runs_.back().directory;
    // Else the last run that begins at or before the row.
    size_t low = 0, high = runs_.size();
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        if (runs_[middle].first <= row)
            low = middle;
        else
            high = middle;
    }
    return runs_[low].directory;
}

ScanRow FoundList::FileRow(size_t row) const {
    const StoredRow& stored = files_[row];
    return {FileDirectory(row), stored.name,     stored.id,
            stored.created,     stored.modified, stored.accessed};
}

void FoundList::TruncateFiles(size_t first) {
    files_.truncate(first);
    DropRunsFrom(first);
}

void FoundList::DropRunsFrom(size_t row) {
    size_t runs = runs_.size();
    while (runs > 0 && runs_[runs - 1].first >= row)
        --runs;
    runs_.truncate(runs);
}

std::string FoundList::FileText(size_t row) const {
    std::string text;
    AppendDirectoryText(FileDirectory(row), text);
    text += ShownName(files_[row].name);
    return text;
}

void FoundList::SortFilesFrom(size_t first, SortKey key) {
    // Equal keys keep the order they came in, as the list's insertion always did.
    ChunkedVector<uint32_t> order = OrderByKey(
        files_.size() - first, [this, first](size_t i) { return FileText(first + i); }, key);
    // The rows' directories in their new order, before the runs are laid anew for them.
    ChunkedVector<Index> directories;
    for (size_t i = 0; i < order.size(); ++i)
        directories.push_back(FileDirectory(first + order[i]));
    ApplyOrder(first, order);
    DropRunsFrom(first);
    for (size_t i = 0; i < directories.size(); ++i)
        ContinueRun(first + i, directories[i]);
}

// Beyond one run, the merged rows go to new chunks as they come and each old chunk is freed
// once all of it is taken: the rows are never held twice, nor their order.
void FoundList::SortDirectoryFilesFrom(size_t first, SortKey key) {
    RowVector::Reordering merged(files_, first);
    SortByKey(
        files_.size() - first,
        [this, first](size_t i) { return ShownName(files_[first + i].name); }, key,
        [this, first](size_t at, ChunkedVector<uint32_t>& order) { ApplyOrder(first + at, order); },
        [&merged, first](uint32_t position) { merged.Take(first + position); });
    merged.Finish();
}

// Row by row along each cycle of the permutation, so no second copy of the rows is made;
// a position done is marked by pointing at itself.
void FoundList::ApplyOrder(size_t first, ChunkedVector<uint32_t>& order) {
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start)
            continue;
        const StoredRow held = files_[first + start];
        size_t at = start;
        for (;;) {
            const size_t from = order[at];
            order[at] = static_cast<uint32_t>(at);
            if (from == start) {
                files_[first + at] = held;
                break;
            }
            files_[first + at] = files_[first + from];
            at = from;
        }
    }
}

size_t FoundList::FirstFileAfter(const char* k, size_t from, SortKey key) const {
    const auto after = [&](size_t file) { return std::strcmp(k, key(FileText(file)).c_str()) < 0; };
    // Galloping from `from`, then halving: a few keys for a place near the one before.
    size_t low = from, high = from, step = 1;
    while (high < files_.size() && !after(high)) {
        low = high + 1;
        high = std::min(files_.size(), low + step);
        step *= 2;
    }
    while (low < high) { // the first file row that sorts after it lies in [low, high]
        const size_t middle = low + (high - low) / 2;
        if (after(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void FoundList::AddDirectoryRow(Index directory, DateTime created, DateTime modified,
                                DateTime accessed) {
    waitingRows_.push_back({0, directory, created, modified, accessed});
}

void FoundList::PlaceDirectoryRows(SortKey key) {
    if (waitingRows_.size() == 0)
        return;
    // The rows placed before come first, so that equal keys keep the order they came in.
    ChunkedVector<DirectoryRow> all;
    for (size_t i = 0; i < directoryRows_.size(); ++i)
        all.push_back(directoryRows_[i]);
    for (size_t i = 0; i < waitingRows_.size(); ++i)
        all.push_back(waitingRows_[i]);
    // Each row stands after the file rows whose keys do not exceed its own; in key order
    // that place only moves forward.
    ChunkedVector<DirectoryRow> placed;
    size_t before = 0;
    VisitInKeyOrder(
        all.size(), [&](size_t i) { return DirectoryText(all[i].directory); }, key,
        [&](uint32_t position, const char* k) {
            before = FirstFileAfter(k, before, key);
            DirectoryRow row = all[position];
            row.before = before;
            placed.push_back(row);
        });
    directoryRows_ = std::move(placed);
    waitingRows_.clear();
}

size_t FoundList::Count() const {
    return std::min(files_.size(), heldFrom_) + directoryRows_.size();
}

size_t FoundList::Locate(size_t row, const DirectoryRow*& directoryRow) const {
    // Directory row j stands at before + j; those positions only grow.
    size_t low = 0, high = directoryRows_.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (directoryRows_[middle].before + middle < row)
            low = middle + 1;
        else
            high = middle;
    }
    directoryRow = nullptr;
    if (low < directoryRows_.size() && directoryRows_[low].before + low == row) {
        directoryRow = &directoryRows_[low];
        return low;
    }
    return row - low;
}

void FoundList::Text(size_t row, int column, const RegionalFormats& formats,
                     std::string& text) const {
    text.clear();
    const DirectoryRow* directoryRow = nullptr;
    const size_t at = Locate(row, directoryRow);
    const StoredRow* file = directoryRow ? nullptr : &files_[at];
    switch (column) {
    case File:
        AppendDirectoryText(file ? FileDirectory(at) : directoryRow->directory, text);
        if (file)
            text += ShownName(file->name);
        return;
    case Created:
        text = DateTimeText(file ? file->created : directoryRow->created, formats);
        return;
    case Modified:
        text = DateTimeText(file ? file->modified : directoryRow->modified, formats);
        return;
    case Accessed:
        text = DateTimeText(file ? file->accessed : directoryRow->accessed, formats);
        return;
    default:
        text = std::to_string(
            AgeInDays(root_.scanStart, file ? file->created : directoryRow->created));
    }
}

std::string FoundList::Text(size_t row, int column, const RegionalFormats& formats) const {
    std::string text;
    Text(row, column, formats, text);
    return text;
}
