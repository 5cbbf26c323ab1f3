// What the scan and delete commands work with: the run's state, its log, the found-file list
// and the regional formats, and the view that shows them. The run (app/run.h) owns one; the
// window only shows it, and the tests give it a recording view.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "base/date_time.h"
#include "command/activity_log.h"
#include "command/run_state.h"
#include "command/run_view.h"
#include "list/found_list.h"

#include <new>

class CommandHost {
  public:
    explicit CommandHost(const RegionalFormats& formats);
    CommandHost(const CommandHost&) = delete;
    CommandHost& operator=(const CommandHost&) = delete;
    virtual ~CommandHost() = default;

    // From here on the run is shown by `view` (until then by no one).
    void ShowIn(RunView& view);

    RunState& State() { return state_; }
    ActivityLog& Log() { return log_; }
    // The found-file list: what the last scan listed.
    FoundList& Found() { return found_; }
    const RegionalFormats& Formats() const { return formats_; }
    bool Busy() const { return busy_; }

    void EnterBusy();
    // The idle state; Delete Files is offered where the command ended by EnableDelete.
    void ReturnToIdle();
    void EnableDelete() { deletable_ = true; }
    void DisableDelete() { deletable_ = false; }
    // Tells the view that rows were added to the found-file list.
    void FoundListChanged() { view_->RowsAdded(); }
    // Lets pending window messages run (repaints, the timer, the Stop button).
    void ProcessMessages() { view_->LetMessagesRun(); }
    // A modal "Error" dialog, where someone can see it.
    void ShowErrorDialog(const std::string& text) { view_->Ask(Question::Error, text); }

    void AddLog(const std::string& line) { log_.Add(line); }
    void WriteLogFile() { log_.WriteFile(state_.settings.programDirectory + kLogFileName); }
    // From here on the log reaches its file as it grows (started once per run).
    void StartLogFile() {
        if (!log_.FileHandle())
            log_.StartFile(state_.settings.programDirectory + kLogFileName);
    }

  protected:
    RunView& View() { return *view_; }

  private:
    RunState state_;
    ActivityLog log_;
    FoundList found_;
    RegionalFormats formats_;
    RunView* view_;
    bool busy_ = false;
    bool deletable_ = false;
};

// The stop sequence: "Aborted by user." (or the reason of a request to end the program), the
// idle state, then the silent abort.
[[noreturn]] void EndByStop(CommandHost& host);
// Lets pending messages run (the Stop button, a request to close), then ends by the stop
// sequence where a stop was asked for: what every long loop does once an item.
// `beforeTheEnd` runs first, for what the loop has done and not yet logged.
void HearStop(CommandHost& host, const std::function<void()>& beforeTheEnd = {});
// The resource-error sequence: the line in the log, the modal dialog where someone may see it
// (never in an unattended run, which must not wait on a box), the idle state, then the
// silent abort.
[[noreturn]] void EndByResourceError(CommandHost& host, const std::string& text);

// "REASON: " and the system's text for why `failed` failed; with Debug on, the step that
// failed too ("Failed step: opening").
void LogReason(CommandHost& host, FsResult failed);

// The phases that end with a resource line of their own when memory runs out.
enum class Phase { Scan, Deletion, Removal, CsvFile, ListView };
// "RESOURCE ERROR: Too many files." and the others: the one table of those lines.
const char* ResourceLine(Phase phase);

// Runs `step` as part of `phase`: running out of memory inside it ends the phase with its
// resource line (EndByResourceError). An inner phase names its own shortage first.
template <typename Step> decltype(auto) InPhase(CommandHost& host, Phase phase, Step&& step) {
    try {
        return step();
    } catch (const std::bad_alloc&) {
        EndByResourceError(host, ResourceLine(phase));
    }
}
