// The run's settings, its stop request, its counters and what the last scan started with.
#pragma once
#include <cstdint>
#include <string>

#include "command/own_files.h"
#include "base/date_time.h"

struct RunCounters {
    int64_t examined = 0; // files looked at by the file collector
    int64_t old = 0;      // rows added to the found-file list
    int64_t deleted = 0;  // files deleted
    int64_t removed = 0;  // empty directories removed
};

// How the run was started and the settings it read.
struct RunSettings {
    std::string programDirectory; // the executable's directory, with a trailing backslash
    std::string startDirectory;   // the current directory at start-up, with a trailing backslash
    bool interactive = true;      // someone works the window; false for a scheduled run
    bool debug = false;
    bool maximized = false;
};

// A request to stop what runs: the Stop button, a request to close, the end of the session.
struct StopRequest {
    bool requested = false;
    // The line that ends a run stopped by a request to close or to end the session; empty
    // for the Stop button ("Aborted by user.").
    std::string reason;
};

// Program-wide values that live for the whole run, each kind a type of its own.
struct RunState {
    RunSettings settings;
    StopRequest stop;
    RunCounters counters;
    DateTime scanStart = 0;
    // The program's own files on the scanned volume as the last scan started, never listed.
    OwnFiles ownFiles;
};

extern const char kLogFileName[];
extern const char kCsvFileName[];
extern const char kIniFileName[];
// The lock one run holds on the installation, and the line a refused run leaves where no one
// can see its dialog.
extern const char kLockFileName[];
extern const char kRefusedFileName[];
