// The program's own files: the executable and, beside it, its settings, log and CSV file. A
// scan never lists them, whatever its root, so they are never reported old or deleted. They
// are known by identity, so that another name or a link to one is no way around it.
#pragma once
#include <string>
#include <vector>

#include "fs/replacement_file.h"

class OwnFiles {
  public:
    // The files as they are now that lie on `volume`, the scanned one; `logFile` is the
    // open log (null before it starts).
    static OwnFiles Find(const std::string& executable, const std::string& programDirectory,
                         HANDLE logFile, DWORD volume);
    // Whether the file of that index on the scanned volume is one of them.
    bool Contains(FileId id) const;

  private:
    std::vector<FileId> ids_;
};
