// Files and directories through their handles: opens relative to an open directory that the
// path layer never sees, the entries of a directory read through its handle, and what one
// handle tells or changes (identity, times, attributes, link count, the disposition).
// Every failure comes back as an FsResult.
#pragma once
#include <functional>
#include <string>

#include "fs/fs_result.h"
#include "fs/unique_handle.h"

// Others may read, write and delete what a walk or a check opens.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A file's identity on its volume (its file index). 0 and all ones are no identity: a FAT
// volume's root, and every file on some network file systems, have none.
using FileId = unsigned long long;
inline bool IsKnownId(FileId id) {
    return id != 0 && id != ~FileId(0);
}

// A link is a reparse point whose tag names another item (a symbolic link, a junction, a
// mount point), or whose tag is unknown; other reparse points (cloud placeholders,
// deduplicated or compressed files) are the items they stand for.
bool IsLinkTag(DWORD attributes, DWORD tag);

// One entry of a directory read through its handle.
struct ListedEntry {
    std::wstring name, shortName;
    FileId id = 0;
    DWORD attributes = 0;
    DWORD reparseTag = 0;
    FILETIME created{}, written{}, accessed{};

    bool IsDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return IsLinkTag(attributes, reparseTag); }
    bool IsDotEntry() const { return name == L"." || name == L".."; }
    // The 8-bit name it is shown by (see ShownName).
    std::string Shown() const;
};

// The access a listing of a directory needs.
const DWORD kListAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// What to open by name inside a directory.
enum class ItemKind { kFile, kDirectory, kEither };

// Opens `name` (one plain name) inside the open `parent`: no device name, no dropped dot or
// blank, a link opened as itself, nothing of a placeholder's data fetched, and never a wait
// for an oplock to be broken (while one is, the item is in use: kInUse). A name that is not there:
// ERROR_FILE_NOT_FOUND; a name whose file waits to be deleted: ERROR_DELETE_PENDING.
FsResult OpenInDirectory(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ItemKind kind,
                         FileHandle& opened);

// The buffer a whole listing is read in, one part at a time.
const size_t kListBufferBytes = 64 * 1024;

// Hands each entry ("." and ".." included) of the open directory to `take`, one buffer of
// `bufferBytes` at a time in listing order, until it returns false. A file system without
// the class that gives identities and short names is listed with the plain class (entries
// without them). Fails when the directory cannot be listed.
FsResult ForEachEntry(HANDLE directory, size_t bufferBytes,
                      const std::function<bool(ListedEntry&&)>& take);
// Success when the open directory holds nothing but "." and "..".
bool IsEmptyDirectory(HANDLE directory);

// The identity a walk, a deletion or a removal compares: the 64-bit index, or while wide ids
// are in force the 128-bit id folded (see FoldWideId).
FsResult QueryFileId(HANDLE handle, FileId& id);
// True when both handles are the same known file.
bool IsSameFile(HANDLE a, HANDLE b);
// What GetFileInformationByHandleEx gives for FileIdInfo (FILE_ID_INFO): the volume's serial
// and the file's 128-bit id.
struct WideFileId {
    ULONGLONG volume;
    unsigned char id[16];
};
const auto kFileIdInfoClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

// On ReFS (and Dev Drives) a file's id has 128 bits and its 64-bit index need not be unique,
// so a listing row could match a file swapped in by another. Where the volume of a run's root
// has such ids, the run lists with the class that gives them and queries them of handles,
// each folded into the row's 64 bits: an id whose upper half is 0 (all of NTFS's) stays the
// index it is, any other is mixed into one, 0 where the file system keeps none.
FileId FoldWideId(const unsigned char (&id)[16]);
// True where the volume of the open `root` is ReFS or its id does not fit 64 bits.
bool HasWideIds(HANDLE root);
// Wide ids are read while one of these lives (one run's phase, one volume: its root's).
class WideIdsInForce {
  public:
    explicit WideIdsInForce(bool wide);
    ~WideIdsInForce();
    WideIdsInForce(const WideIdsInForce&) = delete;
    WideIdsInForce& operator=(const WideIdsInForce&) = delete;
    static bool Now();

  private:
    bool before_;
};
// The final path, links resolved, as the system sees it now; empty when it cannot be had.
std::wstring FinalPathOf(HANDLE handle);
// The item's attributes and reparse tag (0 for none).
FsResult ReadAttributeTag(HANDLE handle, DWORD& attributes, DWORD& tag);
// True when the item is a link (see IsLinkTag), or its attributes cannot be read.
bool IsLinkHandle(HANDLE handle);
// True for an item whose contents may live elsewhere: a sync provider's placeholder (a cloud
// reparse tag, or an attribute that asks for a recall on open or on data access) or an
// offline item. A placeholder folder whose contents were never fetched can list as empty.
bool IsPlaceholder(DWORD attributes, DWORD tag);
// The creation, last-write, last-access stamps and attributes.
FsResult ReadStamps(HANDLE handle, FILETIME& created, FILETIME& written, FILETIME& accessed,
                    DWORD& attributes);
FsResult ReadLinkCount(HANDLE handle, unsigned long& links);
// Writes `attributes` (none: FILE_ATTRIBUTE_NORMAL); the times stay as they are.
FsResult WriteAttributesThroughHandle(HANDLE handle, DWORD attributes);

// What a volume's file system answered to the extended disposition, kept for one run (one
// root, one volume): a share that lacks it says nothing of a later run on a local disk.
struct DispositionSupport {
    bool extendedLacking = false;
};
// True for the answers by which a file system says it does not know a disposition variant:
// not implemented, an unknown class, not supported, an invalid device request ("Incorrect
// function", as redirectors answer) and an invalid parameter (a flag it lacks).
bool MeansNotSupported(long status);
// Marks the item for deletion with the extended disposition, which ignores the read-only
// attribute: with POSIX semantics (the name goes as the handle closes, even while others
// hold it) where the file system has them, else without. ERROR_NOT_SUPPORTED where every
// variant was refused as not supported, which `support` then remembers.
FsResult MarkExtended(HANDLE item, DispositionSupport& support);
// The classic disposition: the item goes when its last handle closes, unless a holder
// takes the mark back first. Refused on a read-only file.
FsResult MarkClassic(HANDLE item);
