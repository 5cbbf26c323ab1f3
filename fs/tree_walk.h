// The one walk of a scan: depth first, the entries of a directory handed over as its listing
// gives them, then its chosen subdirectories opened in the order the visitor asks for,
// relative to its handle, by their exact names, each checked to be the listed one below the
// root. The current directory never changes, so no depth and no name stops the walk: a
// directory that cannot be opened is reported and passed over, and the rest is walked.
#pragma once
#include <string>

#include "fs/bound_directory.h"

// Directories with these attributes are never listed, nor links, and hidden ones are never
// entered either; files are examined whatever their attributes.
const DWORD kVolumeLabelAttribute = 0x8;
const DWORD kNeverListed = FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute;
const DWORD kNeverEntered = kNeverListed | FILE_ATTRIBUTE_HIDDEN;

// True for a subdirectory entry (not "." or "..", not a link) that has none of the
// `excluded` bits. A cloud folder, a reparse point that names no other item, is one.
inline bool IsSubdirectory(const ListedEntry& entry, DWORD excluded) {
    return entry.IsDirectory() && !(entry.attributes & excluded) && !entry.IsLink() &&
           !entry.IsDotEntry();
}

// What a walk does in each directory. `prefix` is the text every row of that directory
// begins with: the root's as the system reports it as the current directory, and below it
// each entered directory's shown name and a backslash.
class TreeVisitor {
  public:
    virtual ~TreeVisitor() = default;
    // A directory's listing starts.
    virtual void Directory(const std::string& /*prefix*/, const BoundDirectory& /*here*/) {}
    // Each entry but "." and ".."; true to have the walk enter it after the listing.
    virtual bool Entry(const std::string& prefix, const ListedEntry& entry) = 0;
    // The listing ended; the visitor may put the chosen subdirectories in another order to
    // enter them.
    virtual void Listed() {}
    // Before the subdirectory at `position` of that order is entered or passed over: which of
    // the chosen, counted as listed, it is.
    virtual size_t Entering(size_t position) { return position; }
    // A chosen subdirectory that was not entered: it could not be opened (`why`), or it is
    // not the listed one any more (a link, or moved: `why` is kNotWhereListed).
    virtual void NotEntered(const std::string& prefix, const ListedEntry& entry, FsResult why) = 0;
    // The directory was entered but could not be listed (whole, or from some point on).
    virtual void NotListed(const std::string& prefix, FsResult why) = 0;
    // The directory and everything below it are done.
    virtual void Left() {}
};

// Walks the tree of the open directory `here`, whose rows begin with `prefix`, below the
// root whose final path is `rootFinal`.
void WalkTree(const BoundDirectory& here, const std::string& prefix, const std::wstring& rootFinal,
              TreeVisitor& visitor);
