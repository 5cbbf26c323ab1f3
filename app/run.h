// One run of the program, told in order: the settings, the mode the command line asks for,
// the hold on the installation's records, then either the window opened for use or a
// scheduled run's scan, deletion and return code. The run owns its state, its log and its
// found-file list; the window only shows them (RunView) and hands it the user's commands.
#pragma once
#include <cstdint>
#include <string>

#include "app/run_lock.h"
#include "command/command_host.h"
#include "command/errors.h"
#include "command/settings.h"
#include "scan/scan_command.h"

// How a run ended: the one table of its outcomes.
enum class RunEnd {
    Finished,      // a job done, the usage shown, the window closed
    BadParameters, // the command line could not be taken
    EndedEarly,    // stopped, out of resources, or an error: the log says why
    Untouched,     // another run holds the installation's records; none was touched
};
// The return code of each end: the README's table.
int ReturnCode(RunEnd end);

class Run : public CommandHost {
  public:
    Run();

    // The start-up sequence: reads the settings, decides the mode, takes `lock` (held until
    // the program ends) and either opens the view for use or does the whole scheduled job.
    // Nothing escapes it: an error or a silent abort ends the run early.
    void Init(RunLock& lock);
    // True once the run has ended without waiting for the user (ExitProgram).
    bool Ended() const { return ended_; }
    RunEnd End() const { return end_; }
    // A run whose window could not be made leaves that in its log, and ends early.
    void EndWithoutWindow(unsigned long code);

    // What the run read from the settings file, for the window's fields.
    const SettingsValues& ReadSettings() const { return read_; }
    // "Save Settings": the fields' values, the debug switch as read. Throws AppError.
    void WriteSettings(int32_t days, const std::string& drivePath, bool maximized);

    // The user's commands. An error that escapes one is logged, reported, and leaves the
    // idle state without Delete Files.
    void ScanNow(const std::string& root, int32_t days);
    void DeleteFiles();
    void Stop() { State().stop.requested = true; }

    // Why the program is asked to end.
    enum class EndRequest { Close, SessionEnd };
    // True when a command must stop first: it stops at its next item (an unattended one
    // saying why), and the window closes once it has. False when nothing runs to stop.
    bool RequestEnd(EndRequest why);
    // The session ends now: an unattended run that works leaves its reason in the log file
    // at once, as the process may not outlive this call. True when it did.
    bool SessionEnds();

  private:
    void Start(RunLock& lock);
    void StartRecords();
    void ExitProgram(RunEnd end);
    void Command(ActionRef command);
    // An error ended a command or the start: its line in the log (where `logged`), the idle
    // state without Delete Files, the general error report.
    void ReportFailure(const std::string& message, bool logged) noexcept;

    SettingsValues read_;
    RunEnd end_ = RunEnd::Finished;
    bool ended_ = false;
};

// A scheduled run after its start: the scan of `root` for files older than `days`, the
// deletion of what it found, "Finished.". Ends early by the silent abort.
void RunScheduledJob(CommandHost& host, const TypedRoot& root, int32_t days);
