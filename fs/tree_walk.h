// The one walk both collectors take: depth first, the entries of a directory handed over as
// its listing gives them, then its chosen subdirectories opened in listing order relative to
// its handle, each checked to be the listed one below the root. The current directory never
// changes, so no depth and no name stops the walk: a directory that cannot be opened is
// reported and passed over, and the rest of the tree is walked.
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

// What a walk does in each directory. `prefix` is the text every row of that directory
// begins with: the root's as the system reports it as the current directory, and below it
// each entered directory's usable name and a backslash.
class TreeVisitor {
  public:
    virtual ~TreeVisitor() = default;
    virtual void Directory(const std::string& /*prefix*/, const BoundDirectory& /*here*/) {}
    // Each entry but "." and ".."; true to have the walk enter it after the listing.
    virtual bool Entry(const std::string& prefix, const ListedEntry& entry) = 0;
    // A chosen subdirectory that was not entered: it has no usable name (`name` empty), it
    // could not be opened (`why`), or it is not the listed one any more (a link, or moved:
    // `why` is kNotWhereListed).
    virtual void NotEntered(const std::string& prefix, const ListedEntry& entry,
                            const std::string& name, FsResult why) = 0;
};

// Walks the tree of the open directory `here`, whose rows begin with `prefix`, below the
// root whose final path is `rootFinal`.
void WalkTree(const BoundDirectory& here, const std::string& prefix, const std::wstring& rootFinal,
              TreeVisitor& visitor);
