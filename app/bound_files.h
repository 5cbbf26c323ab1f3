// Directories and files bound to what was listed. A listed path is text; between the listing
// and its use any directory on it may have been swapped for a link or moved. So a walk lists
// each directory through a handle it has checked to be the listed directory (its file
// identity) still below the root (its final path), and a deletion goes through a handle
// opened without following a link, inside a directory checked the same way. Identities, not
// final path texts, name the item: Wine's final paths drop trailing dots and blanks.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "app/handles.h"
#include "scan/date_time.h"

// Error codes of refused deletions: the item is no longer where it was listed (a directory
// on its path is now a link or was moved), or the file was written since it was listed.
const unsigned long kNotWhereListed = ERROR_PATH_NOT_FOUND;
const unsigned long kChangedSinceListed = ERROR_FILE_INVALID;

// A file's identity on its volume (its file index).
using FileId = unsigned long long;
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
    // A directory by its full path, not following a link in its last part. `extraAccess`
    // adds DELETE or attribute writes for the removal of empty directories.
    static BoundDirectory OpenPath(const std::string& path, DWORD extraAccess = 0);
    // Takes over an opened handle (INVALID_HANDLE_VALUE: the open's error is kept).
    static BoundDirectory FromHandle(HANDLE handle);

    bool IsOpen() const { return handle_.valid(); }
    HANDLE Handle() const { return handle_.get(); }
    const std::wstring& FinalPath() const { return finalPath_; }
    FileId Id() const { return id_; }
    // The error of a failed open.
    DWORD Error() const { return error_; }
    bool IsLink() const;
    // The entries ("." and ".." included) in listing order; false when it cannot be listed.
    bool List(std::vector<ListedEntry>& entries) const;
    // True when the directory holds nothing but "." and "..".
    bool IsEmpty() const;

  private:
    FileHandle handle_;
    std::wstring finalPath_;
    FileId id_ = 0;
    DWORD error_ = 0;
};

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

// Deletes listed files, each through its own handle, only when it lies where it was listed
// below the root and is still old by the cut-off that listed it.
class ListedFileDeletion {
  public:
    ListedFileDeletion(const ListedDirectories& directories, const std::wstring& rootFinal,
                       DateTime cutOff)
        : directories_(directories), rootFinal_(rootFinal), cutOff_(cutOff) {}
    // 0 when deleted, else the error code. A read-only file has its attributes reset and is
    // tried once more.
    DWORD Delete(const std::string& path);

  private:
    DWORD OpenDirectoryOf(const std::string& directory);
    void ResetReadOnly(HANDLE file, const std::wstring& name, DWORD attributes);

    const ListedDirectories& directories_;
    std::wstring rootFinal_;
    DateTime cutOff_;
    std::string directoryText_;
    BoundDirectory directory_;
    DWORD directoryError_ = 0;
};

// Writes `attributes` less `bits` through the handle; 0 or the error code.
DWORD ClearBitsThroughHandle(HANDLE handle, DWORD attributes, DWORD bits);
// Marks the file or (empty) directory for deletion; it goes when the last handle closes.
// 0 or the error code.
DWORD RemoveThroughHandle(HANDLE handle);
// The creation, last-write, last-access stamps and attributes read through a handle.
bool ReadStamps(HANDLE handle, FILETIME& created, FILETIME& written, FILETIME& accessed,
                DWORD& attributes);
