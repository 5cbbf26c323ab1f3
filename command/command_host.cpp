#include "command/command_host.h"

#include "command/errors.h"

const char kLogFileName[] = "VantrellActivity.log";
const char kCsvFileName[] = "VantrellFiles.csv";
const char kIniFileName[] = "Vantrell.ini";
const char kLockFileName[] = "Vantrell.lock";
const char kRefusedFileName[] = "VantrellRefused.log";

void EndByStop(CommandHost& host) {
    const std::string& reason = host.State().stop.reason;
    // A session's end may have put its line into the log already.
    if (reason.empty() || !host.Log().EndsWithLine(reason))
        host.AddLog(reason.empty() ? "Aborted by user." : reason);
    host.Log().FlushQuietly();
    host.ReturnToIdle();
    throw SilentAbort{};
}

void HearStop(CommandHost& host) {
    host.ProcessMessages();
    if (host.State().stop.requested)
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
