// Scan Now: checks the root, lists every old file below it, reports the totals and, when
// anything was found, writes the CSV file; then "Finished.", the log file and the idle state.
#pragma once
#include <cstdint>
#include <string>

#include "command/command_host.h"

// A root as typed (the log names it so) and the one directory Windows reads in it, which
// the check, the scan, the deletion and the removal all use.
struct TypedRoot {
    std::string typed;
    std::string full; // empty where Windows would read no path in the text
};
// Reads the typed root once, as Windows does, against the start directory; a 32-bit run on
// 64-bit Windows names System32 through Sysnative.
TypedRoot ResolveRoot(const std::string& typed, const RunSettings& settings);

// Scan Now with the path (as typed) and the days the window's fields hold.
void ScanNow(CommandHost& host, const std::string& root, int32_t days);

// The scan of `root` for files older than `days`, up to its totals and the CSV file. False
// when the path does not exist (logged; in an unattended run the silent abort ends the run
// instead). Running out of memory ends it with its resource error.
bool ScanForOldFiles(CommandHost& host, const TypedRoot& root, int32_t days);
// The end of a scan, or of a scheduled run after its deletion: "Finished.", the log file,
// the idle state.
void FinishScan(CommandHost& host);
