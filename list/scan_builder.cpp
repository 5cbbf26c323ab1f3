#include "list/scan_builder.h"

ScanBuilder::~ScanBuilder() {
    if (scan_.HeldFrom() == SIZE_MAX)
        return;
    scan_.TruncateFiles(scan_.HeldFrom());
    scan_.HoldFilesFrom(SIZE_MAX);
}

void ScanBuilder::BeginDirectory(FileId id) {
    scan_.LearnIdentity(entering_, id);
    if (levels_.size() == depth_)
        levels_.emplace_back();
    Level& level = levels_[depth_++]; // new, or emptied by the last EndDirectory at its depth
    level.directory = entering_;
    level.next = 0;
    level.groupStart = SIZE_MAX;
    // Its old files go to the list at once, unseen until they are ordered.
    level.firstFile = scan_.FileCount();
    level.holds = scan_.HeldFrom() == SIZE_MAX;
    if (level.holds)
        scan_.HoldFilesFrom(level.firstFile);
}

void ScanBuilder::AddFile(const std::string& shown, const std::wstring& exact, FileId id,
                          DateTime created, DateTime modified, DateTime accessed) {
    Level& level = levels_[depth_ - 1];
    scan_.AppendFile(
        {level.directory, scan_.AddName(shown, exact), id, created, modified, accessed});
}

void ScanBuilder::AddSubdirectory(const std::string& shown, const std::wstring& exact, FileId id,
                                  bool entered, bool seenNotOld) {
    Level& level = levels_[depth_ - 1];
    const FoundList::Index index =
        scan_.AddDirectory(level.directory, scan_.AddName(shown, exact), id, seenNotOld);
    if (entered)
        level.entered.push_back(index);
}

const char* ScanBuilder::Shown(uint32_t item, const Level& level) const {
    return item & kSubdirectory
               ? scan_.ShownName(scan_.Directory(level.entered[item & ~kSubdirectory]).name)
               : scan_.ShownName(level.files[item].name);
}

size_t ScanBuilder::EndListing() {
    Level& level = levels_[depth_ - 1];
    // Without subdirectories to enter (a flat directory of millions, and most others), its
    // rows are ordered where they stand: no second copy of them is ever held.
    if (level.entered.size() == 0) {
        scan_.SortDirectoryFilesFrom(level.firstFile, order_.key);
        if (level.holds)
            scan_.HoldFilesFrom(SIZE_MAX);
        return 0;
    }
    // Otherwise they wait beside the list, to go there between the subdirectories' rows.
    for (size_t row = level.firstFile; row < scan_.FileCount(); ++row)
        level.files.push_back(scan_.FileRow(row));
    scan_.TruncateFiles(level.firstFile);
    if (level.holds)
        scan_.HoldFilesFrom(SIZE_MAX);
    // Files first, then subdirectories, each as listed: equal keys keep that order, as the
    // rows of a walk that examined files before entering subdirectories always had. A
    // subdirectory sorts as its name and a backslash, as its rows do.
    const size_t files = level.files.size();
    const auto itemAt = [files](size_t position) {
        return position < files ? static_cast<uint32_t>(position)
                                : kSubdirectory | static_cast<uint32_t>(position - files);
    };
    const ChunkedVector<uint32_t> sorted = OrderByKey(
        files + level.entered.size(),
        [&](size_t position) {
            const uint32_t item = itemAt(position);
            return std::string(Shown(item, level)) + (item & kSubdirectory ? "\\" : "");
        },
        order_.key);
    for (size_t i = 0; i < sorted.size(); ++i) {
        const uint32_t item = itemAt(sorted[i]);
        level.order.push_back(item);
        if (!(item & kSubdirectory))
            continue;
        const bool joins =
            level.enteringOrder.size() > 0 &&
            order_.interleave(Shown(kSubdirectory | level.enteringOrder.back(), level),
                              Shown(item, level));
        level.enteringOrder.push_back(item & ~kSubdirectory);
        level.joinsPrevious.push_back(joins ? 1 : 0);
    }
    return level.enteringOrder.size();
}

void ScanBuilder::EmitUntil(Level& level, uint32_t item) {
    while (level.next < level.order.size()) {
        const uint32_t at = level.order[level.next++];
        if (at == item)
            return;
        if (!(at & kSubdirectory))
            scan_.AppendFile(level.files[at]);
    }
}

size_t ScanBuilder::Entering(size_t position) {
    Level& level = levels_[depth_ - 1];
    if (level.groupStart != SIZE_MAX && !level.joinsPrevious[position])
        CloseGroup(level);
    const uint32_t entered = level.enteringOrder[position];
    EmitUntil(level, kSubdirectory | entered);
    if (level.groupStart == SIZE_MAX && position + 1 < level.joinsPrevious.size() &&
        level.joinsPrevious[position + 1])
        OpenGroup(level);
    entering_ = level.entered[entered];
    return entered;
}

void ScanBuilder::EndDirectory() {
    Level& level = levels_[depth_ - 1];
    if (level.groupStart != SIZE_MAX)
        CloseGroup(level);
    EmitUntil(level, ~uint32_t(0));
    level.Empty();
    --depth_;
}

void ScanBuilder::OpenGroup(Level& level) {
    level.groupStart = scan_.FileCount();
    if (openGroups_++ == 0)
        scan_.HoldFilesFrom(level.groupStart);
}

void ScanBuilder::CloseGroup(Level& level) {
    scan_.SortFilesFrom(level.groupStart, order_.key);
    level.groupStart = SIZE_MAX;
    if (--openGroups_ == 0)
        scan_.HoldFilesFrom(SIZE_MAX);
}
