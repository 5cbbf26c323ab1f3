// Directories and files bound to what was listed. A listed path is text; between the listing
// and its use any directory on it may have been swapped for a link or moved. So a walk lists
// each directory through a handle it has checked to be the listed directory (its file
// identity) still below the root (its final path), and a deletion reaches each listed
// directory from the root's handle, one name at a time relative to the handle before, never
// following a link, and checks each by its identity. Identities, not final path texts, name
// the item: Wine's final paths drop trailing dots and blanks.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/handles.h"
#include "scan/date_time.h"

// Error codes of refused deletions: the item is no longer where it was listed (a directory
// on its path is now a link or was moved), the file was written since it was listed, or it
// is held by someone else (an oplock being broken, a deletion someone took back).
const unsigned long kNotWhereListed = ERROR_PATH_NOT_FOUND;
const unsigned long kChangedSinceListed = ERROR_FILE_INVALID;
const unsigned long kInUse = ERROR_SHARING_VIOLATION;

// A file's identity on its volume (its file index). 0 and all ones are no identity.
using FileId = unsigned long long;
inline bool IsKnownId(FileId id) {
    return id != 0 && id != ~FileId(0);
}
// The identity of each directory a walk listed, by the text its rows begin with.
using ListedDirectories = std::map<std::string, FileId>;

// One entry of a directory read through its handle.
struct ListedEntry {
    std::wstring name, shortName;
    FileId id = 0;
    DWORD attributes = 0;
    FILETIME created{}, written{}, accessed{};

    bool IsDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDotEntry() const { return name == L"." || name == L".."; }
    // The exact 8-bit name to reach it by (long, else short), or empty.
    std::string Usable() const;
};

// An open directory and its final path (links resolved, as the system sees it now).
class BoundDirectory {
  public:
    // The process's current directory; FinalPath() is empty when it cannot be opened.
    static BoundDirectory OpenCurrent();
    // A directory by its full path (the root a user chose; links on it are followed).
    static BoundDirectory OpenPath(const std::string& path);
    // Takes over an opened handle (INVALID_HANDLE_VALUE: the open's error is kept).
    static BoundDirectory FromHandle(HANDLE handle);

    bool IsOpen() const { return handle_.valid(); }
    HANDLE Handle() const { return handle_.get(); }
    const std::wstring& FinalPath() const { return finalPath_; }
    FileId Id() const { return id_; }
    // The error of a failed open.
    DWORD Error() const { return error_; }
    bool IsLink() const;
    // Hands each entry ("." and ".." included) to `take`, one buffer at a time in listing
    // order, until it returns false; false when the directory cannot be listed.
    bool ForEachEntry(const std::function<bool(ListedEntry&&)>& take) const;
    // True when the directory holds nothing but "." and "..".
    bool IsEmpty() const;

  private:
    FileHandle handle_;
    std::wstring finalPath_;
    FileId id_ = 0;
    DWORD error_ = 0;
};

// True when the open directory holds nothing but "." and "..".
bool IsEmptyDirectory(HANDLE directory);

// Case-insensitive comparison of two final paths.
bool SameFinalPath(const std::wstring& a, const std::wstring& b);
// True when `path` is `root` or lies below it.
bool IsUnderRoot(const std::wstring& path, const std::wstring& root);
// True when `dir` is the listed directory `id`, not a link, below the root.
bool IsListedDirectory(const BoundDirectory& dir, FileId id, const std::wstring& rootFinal);

// Makes the listed subdirectory `name` of the current directory `parent` current and opens
// it. Returns false, with `parent` current again, when it is not the listed one (a link
// or moved). A directory that cannot be made current raises the input/output error.
bool EnterListedSubdirectory(const BoundDirectory& parent, const ListedEntry& entry,
                             const std::string& name, const std::wstring& rootFinal,
                             BoundDirectory& child);
// Makes ".." current and checks it is `parent`; otherwise the input/output error.
void ReturnToParent(const BoundDirectory& parent);

// Opens `name` (one plain name) inside the open directory without following a link and
// without waiting for an oplock to be broken. `directory` asks for a directory, else for a
// file. 0 and the handle, or the error code (kInUse while an oplock is being broken).
DWORD OpenInDirectory(HANDLE parent, const std::wstring& name, ACCESS_MASK access, bool directory,
                      FileHandle& opened);

// The listed directories below a root, reached from the root's handle one name at a time.
// The chain of open handles from the root down to the last directory reached is kept, so
// rows of the same directory, or of its neighbours, open nothing again.
class ListedTree {
  public:
    // `root` is open and stays open while the tree is used; its rows begin with `rootPrefix`.
    ListedTree(const ListedDirectories& listed, HANDLE root, const std::string& rootPrefix);
    // 0 and the open directory whose rows begin with `prefix` (with its trailing backslash),
    // or the error code (kNotWhereListed when one on the way is not the listed directory).
    DWORD Open(const std::string& prefix, HANDLE& directory);
    // Closes the handles held on `prefix` and below, before that directory is removed.
    void Release(const std::string& prefix);

  private:
    struct Link {
        std::string prefix;
        FileHandle handle;
    };
    const ListedDirectories& listed_;
    HANDLE root_;
    std::string rootPrefix_;
    std::vector<Link> chain_; // below the root, each inside the one before
};

// Deletes listed files, each through its own handle, only when it lies where it was listed
// below the root and is still old by the cut-off that listed it.
class ListedFileDeletion {
  public:
    // `root` is the scan's root, open and checked by identity (or unopened, and every
    // deletion then fails with `rootError`).
    ListedFileDeletion(const ListedDirectories& directories, HANDLE root,
                       const std::string& rootPrefix, DWORD rootError, DateTime cutOff)
        : tree_(directories, root, rootPrefix), rootError_(rootError), cutOff_(cutOff) {}
    // 0 when the file is gone, else the error code.
    DWORD Delete(const std::string& path);

  private:
    ListedTree tree_;
    DWORD rootError_;
    DateTime cutOff_;
};

// Writes `attributes` less `bits` through the handle; 0 or the error code.
DWORD ClearBitsThroughHandle(HANDLE handle, DWORD attributes, DWORD bits);

// Removes the file or (empty) directory `name` of `parent`, opened as `item`: the extended
// disposition with POSIX semantics, which ignores the read-only attribute and takes the name away
// as the handle closes, where the system has it; otherwise the classic one, read-only files being
// reset only while they have no other name (and set back when the removal fails). `item` is closed.
// 0 only when the name no longer names that item afterwards, else the error code.
DWORD RemoveListedItem(HANDLE parent, const std::wstring& name, FileHandle& item);

// The creation, last-write, last-access stamps and attributes read through a handle.
bool ReadStamps(HANDLE handle, FILETIME& created, FILETIME& written, FILETIME& accessed,
                DWORD& attributes);
// The identity read through a handle; 0 or the error code.
DWORD QueryFileId(HANDLE handle, FileId& id);
