#include "command/own_files.h"

#include "command/run_state.h"

#include <algorithm>

OwnFiles OwnFiles::Find(const std::string& executable, const std::string& programDirectory,
                        HANDLE logFile, DWORD volume) {
    OwnFiles own;
    FileIdentity identity;
    const auto keep = [&] {
        if (identity.volume == volume && IsKnownId(identity.id))
            own.ids_.push_back(identity.id);
    };
    for (const std::string& path :
         {executable, programDirectory + kIniFileName, programDirectory + kLogFileName,
          programDirectory + kCsvFileName})
        if (ReadIdentityOfPath(path, true, identity).Ok())
            keep();
    if (logFile && ReadIdentity(logFile, identity).Ok())
        keep();
    return own;
}

bool OwnFiles::Contains(FileId id) const {
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}
