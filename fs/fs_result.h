// The one way the file-system layer reports how a call went: success, or the Win32 error
// code of what failed and the step that failed (which the Debug log names). NT status
// values become such a code in one place (ErrorOf in fs/nt_files.cpp). Exceptions are for
// the ends the walks describe, raised above this layer.
#pragma once
#include <cstdint>

#include <windows.h>

// What the failing call was doing.
enum class FsStep : uint8_t {
    None,             // nothing failed
    Name,             // a name or path without an exact wide form
    Open,             // an open, by path or by name inside a directory
    Check,            // the item opened is not the listed one, or someone holds it
    Query,            // reading an item's information through its handle
    Change,           // changing it through its handle: attributes, disposition, rename
    List,             // listing a directory
    CurrentDirectory, // making a directory current, or reading the current one
    Read,             // reading a file's content
    Write,            // writing or flushing a file
};

class [[nodiscard]] FsResult {
  public:
    FsResult() = default;
    // 0 is success; any other code failed at `step`.
    explicit FsResult(DWORD code, FsStep step)
        : code_(code), step_(code == 0 ? FsStep::None : step) {}
    static FsResult Success() { return FsResult(); }
    bool Ok() const { return code_ == 0; }
    DWORD Code() const { return code_; }
    FsStep Step() const { return step_; }

  private:
    DWORD code_ = 0;
    FsStep step_ = FsStep::None;
};

// The step as the Debug log names it ("open", "list", ...).
const char* StepText(FsStep step);

// Codes of items that are not what was listed: no longer where it was listed (a directory
// on its path is now a link or was moved), or held by someone else (an oplock being broken,
// a deletion someone took back, a holder that keeps a deleted file's name).
const DWORD kNotWhereListed = ERROR_PATH_NOT_FOUND;
const DWORD kInUse = ERROR_SHARING_VIOLATION;
