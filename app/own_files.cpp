#include "app/own_files.h"

#include "app/run_state.h"

#include <algorithm>

OwnFiles OwnFiles::Find(const std::string& executable, const std::string& programDirectory,
                        HANDLE logFile) {
    OwnFiles own;
    FileIdentity identity;
    for (const std::string& path :
         {executable, programDirectory + kIniFileName, programDirectory + kLogFileName,
          programDirectory + kCsvFileName})
        if (ReadIdentityOfPath(path, true, identity).Ok())
            own.identities_.push_back(identity);
    if (logFile && ReadIdentity(logFile, identity).Ok())
        own.identities_.push_back(identity);
    return own;
}

bool OwnFiles::Contains(const FileIdentity& identity) const {
    return std::find(identities_.begin(), identities_.end(), identity) != identities_.end();
}
