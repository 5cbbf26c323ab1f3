// Reading a file of the program's own that only the program should have made: a plain file
// of one name, never a link or a second name someone put there.
#pragma once
#include <string>

#include "fs/nt_files.h"

// The whole content of the file `name` in `directory` where it is a plain file of one name:
// ERROR_FILE_NOT_FOUND when there is none, kNotWhereListed when it is a link or has another
// name too (its content is then none of the program's). Opened without waiting for an
// oplock holder. `attributes` are the file's.
FsResult ReadPlainFile(const std::string& directory, const std::string& name, std::string& text,
                       DWORD& attributes);
