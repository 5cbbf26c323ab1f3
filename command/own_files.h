// The program's own files: the executable and, beside it, its settings, log, CSV file, lock
// and refusal note. A scan never lists them, whatever its root, so they are never reported
// old or deleted. They are known by identity, so that another name or a link to one is no
// way around it; where a listing gives no identities, by their folder and exact names.
#pragma once
#include <string>
#include <vector>

#include "fs/file_identity.h"
#include "fs/replacement_file.h"

class OwnFiles {
  public:
    // The files as they are now that lie on `volume`, the scanned one; `logFile` is the
    // open log (null before it starts).
    static OwnFiles Find(const std::string& executable, const std::string& programDirectory,
                         HANDLE logFile, DWORD volume);
    // Whether the file of that index on the scanned volume is one of them.
    bool Contains(FileId id) const;
    // Whether the directory of that identity and final path is the program's: by identity
    // where both are known, else by final path.
    bool IsProgramDirectory(FileId id, const std::wstring& finalPath) const;
    // Whether `name` is one of the program's names beside the executable.
    bool IsOwnName(const std::wstring& name) const;

  private:
    std::vector<FileId> ids_;
    FileId directoryId_ = 0; // 0 where unknown or on another volume than the scanned one
    std::wstring directoryFinal_;
    std::vector<std::wstring> names_;
};

// Removes what runs ended before their rename left beside the program: plain files named as
// a new log, CSV file or settings file of the program's own ("<name>.<pid>-<n>.new"), each as
// RemoveOwnFile does, so a link there goes as a link. Only the run holding the lock calls it.
void RemoveLeftovers(const std::string& programDirectory);
