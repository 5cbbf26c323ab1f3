// What a file or directory is, whatever its names: its volume and its file index (as the
// run's listing reads ids), for telling the program's own files and roots apart.
#pragma once
#include <string>

#include "fs/nt_files.h"

// Volume and file index: what a file is, whatever its names.
struct FileIdentity {
    DWORD volume = 0;
    FileId id = 0;
};
FsResult ReadIdentity(HANDLE handle, FileIdentity& identity);
// The identity of what `path` names, a file or a directory; with `linkItself`, a link is
// taken as the link, not as what it points to.
FsResult ReadIdentityOfPath(const std::string& path, bool linkItself, FileIdentity& identity);
