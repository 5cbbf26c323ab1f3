#include "app/run.h"

#include "app/command_line.h"
#include "app/run_modes.h"
#include "base/days.h"
#include "base/program_location.h"
#include "command/text_file.h"
#include "delete/file_deletion.h"
#include "fs/current_directory.h"
#include "fs/replacement_file.h"
#include "scan/file_collector.h"

namespace {

const char kNoDesktopLine[] = "ERROR: No one can see this desktop: a run here needs exactly two "
                              "parameters, a path and a number of days.";
// The last lines of unattended runs that could not do their work.
const char kCloseLine[] = "ERROR: The run was ended early: the program was asked to close.";
const char kSessionEndLine[] = "ERROR: The run was ended early: the Windows session is ending.";

// Where no one sees the dialog, the administrator finds why in a file of its own: the log
// and the CSV file belong to the run that works.
void NoteRefusal(const std::string& programDirectory, const RegionalFormats& formats) {
    try {
        WriteWholeFile(programDirectory + kRefusedFileName,
                       DateTimeText(LocalNow(), formats) + " " + kOtherRunText + "\r\n");
    } catch (...) {
        // Only the return code is left to tell it.
    }
}

} // namespace

int ReturnCode(RunEnd end) {
    switch (end) {
    case RunEnd::Finished:
        return 0;
    case RunEnd::BadParameters:
        return 1;
    case RunEnd::EndedEarly:
    case RunEnd::Untouched:
        break;
    }
    return 2;
}

Run::Run() : CommandHost(RegionalFormats::FromSystem()) {}

void Run::Init(RunLock& lock) {
    std::string message;
    const Outcome outcome = RunCaught([&] { Start(lock); }, message);
    if (outcome == Outcome::Completed)
        return;
    // A start cut short by an error or a silent abort must not leave an invisible process
    // waiting: it ends with its own code, an unattended run's log saying why. (The stop and
    // the resource error have returned to idle themselves.)
    if (outcome == Outcome::Failed)
        ReportFailure(message, !State().settings.interactive);
    try {
        ExitProgram(RunEnd::EndedEarly);
    } catch (...) {
        end_ = RunEnd::EndedEarly;
        ended_ = true;
    }
}

void Run::Start(RunLock& lock) {
    RunSettings& settings = State().settings;
    settings.interactive = true;
    settings.programDirectory = ProgramDirectory();
    ThrowIfFailed(CurrentDirectoryPrefix(settings.startDirectory));
    read_ = ReadSettingsFile(settings.programDirectory + kIniFileName, settings.programDirectory);
    read_.daysOld = ClampDays(read_.daysOld);
    settings.debug = read_.debug;
    settings.maximized = read_.maximized;
    AddLog("Settings Read.");
    if (settings.debug) {
        AddLog("Program Path = " + settings.programDirectory);
        AddLog("Current Path = " + settings.startDirectory);
    }

    // The path parameter is read once: the check and the whole job use what it found.
    const RunModeDecision decision =
        DecideRunMode(SplitCommandLine(ExactCommandLine()), [&settings](const std::string& typed) {
            const std::string full = ResolveRoot(typed, settings).full;
            return IsExistingDirectory(full) ? full : std::string();
        });
    const RunLock::Outcome locked = decision.kind == RunModeDecision::Help
                                        ? RunLock::NotHeld
                                        : lock.Acquire(settings.programDirectory);
    if (locked == RunLock::OtherRun) {
        // Another run works with this installation's records: leave every one of them alone.
        if (View().PersonCanSee())
            View().Ask(Question::Error, kOtherRunText);
        else
            NoteRefusal(settings.programDirectory, Formats());
        end_ = RunEnd::Untouched;
        ended_ = true;
        return;
    }
    // What runs ended before their renames left, only the one holding the lock may remove.
    if (locked == RunLock::Held)
        RemoveLeftovers(settings.programDirectory);
    switch (decision.kind) {
    case RunModeDecision::Help:
        View().Ask(Question::Information, UsageText());
        ExitProgram(RunEnd::Finished);
        return;
    case RunModeDecision::ParameterError:
        AddLog(decision.message);
        View().Ask(Question::Error, decision.message);
        ExitProgram(RunEnd::BadParameters);
        return;
    case RunModeDecision::Unattended:
        AddLog("Search values obtained from command-line");
        settings.interactive = false;
        break;
    case RunModeDecision::Interactive:
        if (View().PersonCanSee())
            break;
        // The window would open where no one can ever close it.
        AddLog(kNoDesktopLine);
        ExitProgram(RunEnd::BadParameters);
        return;
    }
    StartRecords();
    if (settings.interactive) {
        View().Show(ViewState::Open);
        return;
    }
    RunScheduledJob(*this, {decision.path, decision.fullPath}, decision.days);
    ExitProgram(RunEnd::Finished);
}

// An unattended run writes its log as it goes from here on, so that one ended at any moment
// leaves a record; the window's log starts with its first scan. An old list must not pass
// for this run's. A file that cannot be removed stays, as it always did.
void Run::StartRecords() {
    const RunSettings& settings = State().settings;
    if (settings.interactive)
        (void)RemoveOwnFile(settings.programDirectory + kLogFileName);
    else
        Log().StartFile(settings.programDirectory + kLogFileName);
    (void)RemoveOwnFile(settings.programDirectory + kCsvFileName);
}

void Run::ExitProgram(RunEnd end) {
    if (State().settings.debug)
        AddLog("Return Code = " + std::to_string(ReturnCode(end)));
    end_ = end;
    ended_ = true;
    WriteLogFile();
}

void Run::EndWithoutWindow(unsigned long code) {
    end_ = RunEnd::EndedEarly;
    ended_ = true;
    // Without its window the program can do nothing; a scheduled run must still leave a
    // trace of why it ended.
    try {
        WriteWholeFile(ProgramDirectory() + kLogFileName,
                       "ERROR: The main window could not be created. " + ReasonText(code) + "\r\n");
    } catch (...) {
    }
}

void Run::WriteSettings(int32_t days, const std::string& drivePath, bool maximized) {
    SettingsValues values;
    values.debug = State().settings.debug;
    values.daysOld = days;
    values.drivePath = drivePath;
    values.maximized = maximized;
    WriteSettingsFile(State().settings.programDirectory + kIniFileName, values);
    AddLog("Settings Saved.");
}

void Run::Command(ActionRef command) {
    std::string message;
    // The log file tells why the command ended, whatever failed.
    if (RunCaught(command, message) == Outcome::Failed)
        ReportFailure(message, true);
}

void Run::ReportFailure(const std::string& message, bool logged) noexcept {
    try {
        if (logged) {
            AddLog(ErrorReportText(message));
            Log().FlushQuietly();
        }
        DisableDelete();
        ReturnToIdle();
        View().Ask(Question::ErrorReport, message);
    } catch (...) {
        // The report itself must not let anything escape.
    }
}

void Run::ScanNow(const std::string& root, int32_t days) {
    Command([&] { ::ScanNow(*this, root, days); });
}

void Run::DeleteFiles() {
    Command([&] { ::DeleteFiles(*this); });
}

bool Run::RequestEnd(EndRequest why) {
    RunState& state = State();
    if (!Busy() || (why == EndRequest::SessionEnd && state.settings.interactive))
        return false;
    // An unattended run stops at the next item as Stop does, says why, and ends early;
    // an interactive one stops as by Stop.
    if (!state.settings.interactive && state.stop.reason.empty())
        state.stop.reason = why == EndRequest::Close ? kCloseLine : kSessionEndLine;
    state.stop.requested = true;
    return true;
}

bool Run::SessionEnds() {
    // If the process goes on, the stop at the next item finds the line there and does not
    // add it again.
    if (!RequestEnd(EndRequest::SessionEnd))
        return false;
    AddLog(State().stop.reason);
    Log().FlushQuietly();
    return true;
}

void RunScheduledJob(CommandHost& host, const TypedRoot& root, int32_t days) {
    if (!ScanForOldFiles(host, root, days))
        return;
    if (host.State().counters.old > 0)
        DeleteFiles(host);
    InPhase(host, Phase::Scan, [&] { FinishScan(host); });
}
