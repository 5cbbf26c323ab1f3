// Directories bound to what was listed. A listed path is text; between the listing and its
// use any directory on it may have been swapped for a link or moved. So a walk lists each
// directory through a handle it has checked to be the listed directory (its file identity)
// still below the root (its final path), and a deletion reaches each listed directory from
// the root's handle, one name at a time relative to the handle before, never following a
// link, and checks each by its identity. Identities, not final path texts, name the item:
// Wine's final paths drop trailing dots and blanks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fs/nt_files.h"

// An open directory and its final path (links resolved, as the system sees it now).
class BoundDirectory {
  public:
    // The process's current directory.
    static BoundDirectory OpenCurrent();
    // A directory by its full path (the root a user chose; links on it are followed).
    static BoundDirectory OpenPath(const std::string& path);
    // The listed subdirectory `entry` of `parent`, opened by its exact name relative to the
    // parent's handle: no link followed, no current directory changed, so neither depth nor
    // a device name matters. Its status is the open's error, or kNotWhereListed when it is
    // not the listed one (another identity, a link). Where it lies is asked apart (IsBelow).
    static BoundDirectory OpenListedChild(const BoundDirectory& parent, const ListedEntry& entry);

    // True while its final path, read now unless known, lies below `rootFinal` (one above it
    // may have been moved away since it was checked). A final path the system cannot give is
    // no sign of that: the directory was reached by identity without following a link.
    bool IsBelow(const std::wstring& rootFinal);

    // Success, or why the directory could not be opened: with its identity and final path
    // (a path), or as the listed one (a listed child).
    FsResult Status() const { return status_; }
    bool IsOpen() const { return handle_.valid(); }
    HANDLE Handle() const { return handle_.get(); }
    const std::wstring& FinalPath() const { return finalPath_; }
    // Frees the final path once nothing more needs it (a walk's open levels).
    void ForgetFinalPath() { std::wstring().swap(finalPath_); }
    FileId Id() const { return id_; }
    // True where its volume's ids have 128 bits: what a run from this root reads (see
    // WideIdsInForce).
    bool WideIds() const { return wideIds_; }
    // The entries ("." and ".." included), one listing buffer at a time; see ForEachEntry.
    FsResult ForEachEntry(const std::function<bool(ListedEntry&&)>& take) const;

  private:
    // Takes over an opened handle (INVALID_HANDLE_VALUE: the open's error is kept).
    static BoundDirectory FromHandle(HANDLE handle);

    FileHandle handle_;
    std::wstring finalPath_;
    FileId id_ = 0;
    bool wideIds_ = false;
    FsResult status_;
};

// Case-insensitive comparison of two final paths.
bool SameFinalPath(const std::wstring& a, const std::wstring& b);
// True when `path` is `root` or lies below it.
bool IsUnderRoot(const std::wstring& path, const std::wstring& root);
// What the check of an opened item read of it.
struct ItemFacts {
    FileId id = 0;
    DWORD attributes = 0, tag = 0;
};
// True when the open item is the listed one, `id`, and not a link. Where the listing gave
// no identity that cannot be told, and an item that is not a link is taken. `facts` gets
// what was read on the way, for a caller that needs it too.
bool IsListedItem(HANDLE item, FileId id, ItemFacts& facts);
bool IsListedItem(HANDLE item, FileId id);
// True when `root`, opened again, is the root listed with `listedId` and `listedFinal`: by
// identity, or by final path where it has none (a FAT volume's root).
bool IsSameRoot(const BoundDirectory& root, FileId listedId, const std::wstring& listedFinal);

// One listed directory on the way down from the root: its number in the scan's table, its
// exact name and its identity then.
struct ListedStep {
    uint32_t directory;
    std::wstring name;
    FileId id;
};

// The ways down to the directories a scan listed (its directory table).
class ListedWays {
  public:
    virtual ~ListedWays() = default;
    // `steps` becomes the way from the root to `directory` (none for the root). What it held
    // already, the way to the directory asked for before, is kept as far as it is shared.
    virtual void StepsTo(uint32_t directory, std::vector<ListedStep>& steps) const = 0;
};

// The listed directories below a root, reached from the root's handle one exact name at a
// time along the scan's ways. The chain of open handles from the root down to the last
// directory reached is kept, so rows of the same directory, or of its neighbours, open
// nothing again.
class ListedTree {
  public:
    // `root` is open and stays open while the tree is used, as does `ways`.
    ListedTree(const ListedWays& ways, HANDLE root) : ways_(ways), root_(root) {}
    // The open directory `directory` (the root for 0); fails with kNotWhereListed when one
    // on the way is not the listed directory.
    FsResult Open(uint32_t directory, HANDLE& reached);
    // Closes the handles held on `directory` and below, before that directory is removed.
    void Release(uint32_t directory);

  private:
    struct Link {
        uint32_t directory;
        FileHandle handle;
    };
    // Links the chain left last, kept open: rows of siblings whose names differ only in
    // case, hyphen or accent interleave, and each row would open its directory again.
    static const size_t kLeftKept = 8;
    void Leave(size_t kept);
    bool TakeLeft(uint32_t directory);

    const ListedWays& ways_;
    HANDLE root_;
    std::vector<ListedStep> steps_; // the way to the directory opened last
    std::vector<Link> chain_;       // below the root, each inside the one before
    std::vector<Link> left_;        // the newest last
};
