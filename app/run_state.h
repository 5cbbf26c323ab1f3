// Program-wide values that live for the whole run.
#pragma once
#include <cstdint>
#include <string>

#include "app/own_files.h"
#include "fs/bound_directory.h"
#include "fs/directory_list.h"
#include "scan/date_time.h"

struct RunCounters {
    int64_t examined = 0; // files looked at by the file collector
    int64_t old = 0;      // rows added to the found-file list
    int64_t deleted = 0;  // files deleted
    int64_t removed = 0;  // empty directories removed
};

struct RunState {
    std::string programDirectory; // the executable's directory, with a trailing backslash
    std::string startDirectory;   // the current directory at start-up, with a trailing backslash
    bool interactive = true;
    bool debug = false;
    bool maximized = false;
    bool stop = false;
    // The line that ends a run stopped by a request to close or to end the session; empty
    // for the Stop button ("Aborted by user.").
    std::string stopReason;
    DateTime scanStart = 0;
    // What the last scan listed under, so that Delete Files acts on exactly that whatever
    // the fields say now: its root as made full, the root's identity, the text its rows
    // begin with and its final path when it started, its cut-off, and the identity of every
    // directory it listed (by the text its rows begin with).
    std::string scanRoot;
    FileId listedRootId = 0;
    std::string listedRootPrefix;
    std::wstring listedRootFinal;
    DateTime scanCutOff = 0;
    ListedDirectories listedDirectories;
    // Every subdirectory it listed, hidden ones too: the candidates of the empty-directory
    // removal (none made after the scan).
    DirectoryList listedSubdirectories;
    // The program's own files on the scanned volume as the last scan started, never listed.
    OwnFiles ownFiles;

    // Whether `root`, opened again, is the root the scan listed, not another directory that
    // took its name since: why it could not be opened, or kNotWhereListed.
    FsResult IsScannedRoot(const BoundDirectory& root) const {
        if (!root.IsOpen())
            return root.Status();
        return root.Id() == listedRootId ? FsResult::Success() : FsResult(kNotWhereListed);
    }
    RunCounters counters;
};

extern const char kLogFileName[];
extern const char kCsvFileName[];
extern const char kIniFileName[];
