// The one way the file-system layer reports how a call went: success, or the Win32 error
// code of what failed. NT status values become such a code in one place (ErrorOf in
// fs/nt_files.cpp). Exceptions are for the ends the walks describe, raised above this layer.
#pragma once
#include <windows.h>

class [[nodiscard]] FsResult {
  public:
    FsResult() = default;
    // 0 is success; any other value is the error code.
    FsResult(DWORD code) : code_(code) {}
    static FsResult Success() { return FsResult(); }
    bool Ok() const { return code_ == 0; }
    DWORD Code() const { return code_; }

  private:
    DWORD code_ = 0;
};

// Codes of items that are not what was listed: no longer where it was listed (a directory
// on its path is now a link or was moved), or held by someone else (an oplock being broken,
// a deletion someone took back, a holder that keeps a deleted file's name).
const DWORD kNotWhereListed = ERROR_PATH_NOT_FOUND;
const DWORD kInUse = ERROR_SHARING_VIOLATION;
