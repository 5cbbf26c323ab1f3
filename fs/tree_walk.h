// The one walk both collectors take: by current directory, depth first, the entries of a
// directory handed over as its listing gives them, then its chosen subdirectories entered
// in listing order, each checked to be the listed one below the root.
#pragma once
#include <string>

#include "fs/bound_directory.h"

// Directories with these attributes are never listed, and hidden ones are never entered
// either; files are examined whatever their attributes.
const DWORD kVolumeLabelAttribute = 0x8;
const DWORD kNeverListed =
    FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute | FILE_ATTRIBUTE_REPARSE_POINT;
const DWORD kNeverEntered = kNeverListed | FILE_ATTRIBUTE_HIDDEN;

// True for a subdirectory entry (not "." or "..") that has none of the `excluded` bits.
inline bool IsSubdirectory(const ListedEntry& entry, DWORD excluded) {
    return entry.IsDirectory() && !(entry.attributes & excluded) && !entry.IsDotEntry();
}

// What a walk does in each directory. `prefix` is the current directory as the system
// reports it, with a trailing backslash: the text every row of that directory begins with.
class TreeVisitor {
  public:
    virtual ~TreeVisitor() = default;
    virtual void Directory(const std::string& /*prefix*/, const BoundDirectory& /*here*/) {}
    // Each entry but "." and ".."; true to have the walk enter it after the listing.
    virtual bool Entry(const std::string& prefix, const ListedEntry& entry) = 0;
    // A chosen subdirectory that was not entered: it has no usable name, or it is not the
    // listed one any more (a link, or moved). `name` is the usable name, or empty.
    virtual void NotEntered(const std::string& prefix, const ListedEntry& entry,
                            const std::string& name) = 0;
};

// Walks the tree of the current directory `here`, below the root whose final path is
// `rootFinal`. Fails with the error of a directory that could not be made current, the
// current directory then left where the walk was.
FsResult WalkTree(const BoundDirectory& here, const std::wstring& rootFinal, TreeVisitor& visitor);
