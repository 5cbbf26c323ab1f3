// A scan makes its root the process's current directory for a moment, to open it and to
// read its text as the system gives it (the walk itself goes by handles); these wrap the
// calls it needs.
#pragma once
#include <string>

#include "fs/fs_result.h"

// Makes `path` the current directory.
FsResult ChangeDirectory(const std::string& path);

// The current directory as the system reports it, with one trailing backslash; a current
// directory without an exact 8-bit form fails with ERROR_INVALID_NAME.
FsResult CurrentDirectoryPrefix(std::string& prefix);

// True when the path's attributes can be read and include the directory attribute; false for
// no path at all.
bool IsExistingDirectory(const std::string& path);
