#include "fs/bound_directory.h"

#include "fs/current_directory.h"
#include "fs/exact_names.h"
#include "fs/path_text.h"

namespace {

HANDLE OpenHandle(const std::wstring& path) {
    return CreateFileW(path.c_str(), kListAccess, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

BoundDirectory BoundDirectory::FromHandle(HANDLE handle) {
    BoundDirectory dir;
    if (handle == INVALID_HANDLE_VALUE) {
        dir.status_ = FsResult(GetLastError(), FsStep::Open);
        return dir;
    }
    dir.handle_.reset(handle);
    dir.finalPath_ = FinalPathOf(handle);
    if (dir.finalPath_.empty()) {
        const DWORD code = GetLastError();
        dir.status_ = FsResult(code != 0 ? code : ERROR_PATH_NOT_FOUND, FsStep::Query);
    } else {
        dir.wideIds_ = HasWideIds(handle);
        const WideIdsInForce form(dir.wideIds_);
        dir.status_ = QueryFileId(handle, dir.id_);
    }
    if (!dir.status_.Ok()) {
        dir.finalPath_.clear();
        dir.handle_.reset();
    }
    return dir;
}

BoundDirectory BoundDirectory::OpenCurrent() {
    return FromHandle(OpenHandle(L"."));
}

BoundDirectory BoundDirectory::OpenPath(const std::string& path) {
    std::wstring wide;
    if (!ToExactWide(path, wide)) {
        BoundDirectory dir;
        dir.status_ = FsResult(ERROR_INVALID_NAME, FsStep::Name);
        return dir;
    }
    return FromHandle(OpenHandle(wide));
}

FsResult BoundDirectory::ForEachEntry(const std::function<bool(ListedEntry&&)>& take) const {
    return ::ForEachEntry(handle_.get(), kListBufferBytes, take);
}

bool SameFinalPath(const std::wstring& a, const std::wstring& b) {
    return SameIgnoringCase(a, b);
}

bool IsUnderRoot(const std::wstring& path, const std::wstring& root) {
    if (root.empty() || path.size() < root.size())
        return false;
    if (path.size() == root.size())
        return SameFinalPath(path, root);
    const bool boundary = root.back() == L'\\' || path[root.size()] == L'\\';
    return boundary && SameFinalPath(path.substr(0, root.size()), root);
}

bool IsListedItem(HANDLE item, FileId id, ItemFacts& facts) {
    if (!QueryFileId(item, facts.id).Ok() ||
        !ReadAttributeTag(item, facts.attributes, facts.tag).Ok() ||
        IsLinkTag(facts.attributes, facts.tag))
        return false;
    // Where the listing gave no identity (a file system without them, or a listing class
    // without them), which item it is cannot be told: opened by name relative to its listed
    // parent and not a link is all there is to go by.
    return !IsKnownId(id) || facts.id == id;
}

bool IsListedItem(HANDLE item, FileId id) {
    ItemFacts facts;
    return IsListedItem(item, id, facts);
}

bool IsSameRoot(const BoundDirectory& root, FileId listedId, const std::wstring& listedFinal) {
    if (!root.IsOpen())
        return false;
    // A FAT volume's root has no identity; it is the root it was while its final path is.
    return IsKnownId(listedId)
               ? root.Id() == listedId
               : !IsKnownId(root.Id()) && SameFinalPath(root.FinalPath(), listedFinal);
}

BoundDirectory BoundDirectory::OpenListedChild(const BoundDirectory& parent,
                                               const ListedEntry& entry) {
    BoundDirectory child;
    FileHandle handle;
    child.status_ =
        OpenInDirectory(parent.Handle(), entry.name, kListAccess, ItemKind::kDirectory, handle);
    if (!child.status_.Ok())
        return child;
    ItemFacts facts;
    if (!IsListedItem(handle.get(), entry.id, facts)) {
        child.status_ = FsResult(kNotWhereListed, FsStep::Check);
        return child;
    }
    // What it is now, where the listing could not say.
    child.id_ = IsKnownId(entry.id) ? entry.id : facts.id;
    child.handle_ = std::move(handle);
    return child;
}

bool BoundDirectory::IsBelow(const std::wstring& rootFinal) {
    if (finalPath_.empty())
        finalPath_ = FinalPathOf(handle_.get());
    return finalPath_.empty() || IsUnderRoot(finalPath_, rootFinal);
}

FsResult ListedTree::Open(uint32_t directory, HANDLE& reached) {
    ways_.StepsTo(directory, steps_);
    const std::vector<ListedStep>& steps = steps_;
    size_t kept = 0;
    while (kept < chain_.size() && kept < steps.size() &&
           chain_[kept].directory == steps[kept].directory)
        ++kept;
    Leave(kept);
    for (size_t i = kept; i < steps.size(); ++i) {
        const ListedStep& step = steps[i];
        if (TakeLeft(step.directory))
            continue;
        if (step.name.empty())
            return FsResult(kNotWhereListed, FsStep::Check);
        FileHandle handle;
        const FsResult opened =
            OpenInDirectory(chain_.empty() ? root_ : chain_.back().handle.get(), step.name,
                            kListAccess, ItemKind::kDirectory, handle);
        if (!opened.Ok())
            return opened;
        if (!IsListedItem(handle.get(), step.id))
            return FsResult(kNotWhereListed, FsStep::Check);
        chain_.push_back({step.directory, std::move(handle)});
    }
    reached = chain_.empty() ? root_ : chain_.back().handle.get();
    return FsResult::Success();
}

// Each link was checked to be the listed directory when it was opened inside the one
// before it, as every link of the chain was.
void ListedTree::Leave(size_t kept) {
    for (size_t i = kept; i < chain_.size(); ++i)
        left_.push_back(std::move(chain_[i]));
    chain_.resize(kept);
    if (left_.size() > kLeftKept)
        left_.erase(left_.begin(), left_.end() - kLeftKept);
}

bool ListedTree::TakeLeft(uint32_t directory) {
    for (size_t i = left_.size(); i-- > 0;)
        if (left_[i].directory == directory) {
            chain_.push_back(std::move(left_[i]));
            left_.erase(left_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    return false;
}

void ListedTree::Release(uint32_t directory) {
    left_.clear(); // it, or one below it, may be among them
    for (size_t i = 0; i < chain_.size(); ++i)
        if (chain_[i].directory == directory) {
            chain_.resize(i);
            return;
        }
}
