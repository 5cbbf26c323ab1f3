#include "command/own_files.h"

#include "command/run_state.h"

#include "fs/bound_directory.h"
#include "fs/exact_names.h"
#include "fs/path_text.h"

#include <algorithm>
#include <cwctype>

OwnFiles OwnFiles::Find(const std::string& executable, const std::string& programDirectory,
                        HANDLE logFile, DWORD volume) {
    OwnFiles own;
    FileIdentity identity;
    const auto keep = [&] {
        if (identity.volume == volume && IsKnownId(identity.id))
            own.ids_.push_back(identity.id);
    };
    // All are known by name in the program's folder; the executable and the records a run
    // writes (the first four) by identity too.
    const std::string paths[] = {executable,
                                 programDirectory + kIniFileName,
                                 programDirectory + kLogFileName,
                                 programDirectory + kCsvFileName,
                                 programDirectory + kLockFileName,
                                 programDirectory + kRefusedFileName};
    const size_t byIdentity = 4;
    for (size_t i = 0; i < sizeof paths / sizeof paths[0]; ++i) {
        if (i < byIdentity && ReadIdentityOfPath(paths[i], true, identity).Ok())
            keep();
        const size_t slash = LastDelimiter(paths[i]);
        std::wstring name;
        if (ToExactWide(paths[i].substr(slash == std::string::npos ? 0 : slash + 1), name))
            own.names_.push_back(name);
    }
    if (logFile && ReadIdentity(logFile, identity).Ok())
        keep();
    std::wstring directory;
    if (ToExactWide(programDirectory, directory)) {
        FileHandle opened(CreateFileW(directory.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (opened.valid() && ReadIdentity(opened.get(), identity).Ok() &&
            identity.volume == volume)
            own.directoryId_ = identity.id;
        if (opened.valid())
            own.directoryFinal_ = FinalPathOf(opened.get());
    }
    return own;
}

bool OwnFiles::IsProgramDirectory(FileId id, const std::wstring& finalPath) const {
    if (IsKnownId(directoryId_) && IsKnownId(id))
        return id == directoryId_;
    return !directoryFinal_.empty() && SameFinalPath(finalPath, directoryFinal_);
}

bool OwnFiles::IsOwnName(const std::wstring& name) const {
    return std::any_of(names_.begin(), names_.end(),
                       [&name](const std::wstring& own) { return SameIgnoringCase(own, name); });
}

namespace {

bool IsHexRun(const std::wstring& text, size_t from, size_t to) {
    if (from >= to)
        return false;
    for (size_t i = from; i < to; ++i)
        if (!iswxdigit(text[i]))
            return false;
    return true;
}

// "<own name>.<hex>-<hex>.new", the names ReplacementFile gives its new files.
bool IsLeftoverName(const std::wstring& name) {
    const std::wstring suffix = L".new";
    if (name.size() <= suffix.size() ||
        !SameIgnoringCase(name.substr(name.size() - suffix.size()), suffix))
        return false;
    const size_t end = name.size() - suffix.size();
    const size_t dash = name.rfind(L'-', end);
    const size_t dot = dash == std::wstring::npos ? dash : name.rfind(L'.', dash);
    if (dot == std::wstring::npos || !IsHexRun(name, dot + 1, dash) ||
        !IsHexRun(name, dash + 1, end))
        return false;
    const std::wstring base = name.substr(0, dot);
    for (const char* own : {kLogFileName, kCsvFileName, kIniFileName}) {
        std::wstring wide;
        if (ToExactWide(own, wide) && SameIgnoringCase(base, wide))
            return true;
    }
    return false;
}

} // namespace

void RemoveLeftovers(const std::string& programDirectory) {
    std::wstring directory;
    if (!ToExactWide(programDirectory, directory))
        return;
    std::vector<std::wstring> leftovers;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileExW((directory + L"*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find.valid())
        return;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            IsLeftoverName(found.cFileName))
            leftovers.push_back(found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    for (const std::wstring& name : leftovers) {
        std::string narrow;
        if (ToExactNarrow(name, narrow))
            (void)RemoveOwnFile(programDirectory + narrow);
    }
}

bool OwnFiles::Contains(FileId id) const {
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}
