// One run of the program, told in order: the mode the command line asks for, the hold on the
// installation's records, then either the window opened for use or a scheduled run's scan,
// deletion and return code. The window carries the run; it decides nothing of it.
#pragma once
#include <cstdint>
#include <string>

#include "app/run_lock.h"
#include "command/run_window.h"
#include "scan/scan_command.h"

// Called once the window has read its settings. `lock` is held until the program ends.
void StartRun(RunWindow& window, RunLock& lock);

// A scheduled run after its start: the scan of `root` for files older than `days`, the
// deletion of what it found, "Finished.". Ends early by the silent abort.
void RunScheduledJob(CommandHost& host, const TypedRoot& root, int32_t days);
