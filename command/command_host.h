// What the scan and delete commands need from the main window. The window implements it
// for real; tests implement it with a recorder.
#pragma once
#include <cstdint>
#include <string>

#include "command/activity_log.h"
#include "command/run_state.h"
#include "base/date_time.h"
#include "list/listed_scan.h"

class CommandHost {
  public:
    virtual ~CommandHost() = default;

    virtual RunState& State() = 0;
    virtual ActivityLog& Log() = 0;
    // The found-file list: what the last scan listed.
    virtual ListedScan& Found() = 0;
    virtual const RegionalFormats& Formats() const = 0;

    virtual void EnterBusy() = 0;
    virtual void ReturnToIdle() = 0;
    virtual void EnableDelete() = 0;
    // Tells the view that rows were added to the found-file list.
    virtual void FoundListChanged() = 0;
    // Lets pending window messages run (repaints, the timer, the Stop button).
    virtual void ProcessMessages() = 0;
    // A modal "Error" dialog, centred on the screen.
    virtual void ShowErrorDialog(const std::string& text) = 0;

    void AddLog(const std::string& line) { Log().Add(line); }
    void WriteLogFile() { Log().WriteFile(State().settings.programDirectory + kLogFileName); }
    // From here on the log reaches its file as it grows (started once per run).
    void StartLogFile() {
        if (!Log().FileHandle())
            Log().StartFile(State().settings.programDirectory + kLogFileName);
    }
};

// The stop sequence: "Aborted by user." (or the reason of a request to end the program), the
// idle state, then the silent abort.
[[noreturn]] void EndByStop(CommandHost& host);
// Lets pending messages run (the Stop button, a request to close), then ends by the stop
// sequence where a stop was asked for: what every long loop does once an item.
void HearStop(CommandHost& host);
// The resource-error sequence: the line in the log, the modal dialog where someone may see it
// (never in an unattended run, which must not wait on a box), the idle state, then the
// silent abort.
[[noreturn]] void EndByResourceError(CommandHost& host, const std::string& text);
