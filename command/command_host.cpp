#include "command/command_host.h"

#include "command/errors.h"

const char kLogFileName[] = "VantrellActivity.log";
const char kCsvFileName[] = "VantrellFiles.csv";
const char kIniFileName[] = "Vantrell.ini";
const char kLockFileName[] = "Vantrell.lock";
const char kRefusedFileName[] = "VantrellRefused.log";

namespace {

// Before a window shows the run (and in a run whose window could not be made) nothing is
// shown and no one is asked.
class UnseenView : public RunView {
  public:
    void AppendText(const std::string&) override {}
    void ClearText() override {}
    void Show(ViewState) override {}
    void RowsAdded() override {}
    void LetMessagesRun() override {}
    bool PersonCanSee() override { return false; }
    void Ask(Question, const std::string&) override {}
};

UnseenView unseen;

} // namespace

CommandHost::CommandHost(const RegionalFormats& formats) : formats_(formats), view_(&unseen) {}

void CommandHost::ShowIn(RunView& view) {
    view_ = &view;
    log_.AttachView(&view);
}

void CommandHost::EnterBusy() {
    busy_ = true;
    deletable_ = false;
    view_->Show(ViewState::Busy);
}

void CommandHost::ReturnToIdle() {
    busy_ = false;
    view_->Show(deletable_ ? ViewState::IdleWithList : ViewState::Idle);
}

void EndByStop(CommandHost& host) {
    const std::string& reason = host.State().stop.reason;
    // A session's end may have put its line into the log already.
    if (reason.empty() || !host.Log().EndsWithLine(reason))
        host.AddLog(reason.empty() ? "Aborted by user." : reason);
    host.Log().FlushQuietly();
    host.ReturnToIdle();
    throw SilentAbort{};
}

void HearStop(CommandHost& host, const std::function<void()>& beforeTheEnd) {
    host.ProcessMessages();
    if (!host.State().stop.requested)
        return;
    if (beforeTheEnd)
        beforeTheEnd();
    EndByStop(host);
}

void EndByResourceError(CommandHost& host, const std::string& text) {
    // The log names the phase whether or not anyone sees the box; a scheduled run must
    // never wait on one.
    host.AddLog(text);
    host.Log().FlushQuietly();
    if (host.State().settings.interactive)
        host.ShowErrorDialog(text);
    host.ReturnToIdle();
    throw SilentAbort{};
}

void LogReason(CommandHost& host, FsResult failed) {
    host.AddLog("REASON: " + ReasonText(failed.Code()));
    if (host.State().settings.debug)
        host.AddLog(std::string("Failed step: ") + StepText(failed.Step()));
}

const char* ResourceLine(Phase phase) {
    switch (phase) {
    case Phase::Scan:
        return "RESOURCE ERROR: Too many files.";
    case Phase::Deletion:
        return "RESOURCE ERROR: Out of memory while deleting files.";
    case Phase::Removal:
        return "RESOURCE ERROR: Too many directories.";
    case Phase::CsvFile:
        return "RESOURCE ERROR: Out of memory while writing the CSV file.";
    case Phase::ListView:
        return "RESOURCE ERROR: Out of memory while showing the list.";
    }
    return "RESOURCE ERROR: Out of memory.";
}
