#include "app/command_host.h"

#include "app/errors.h"

const char kLogFileName[] = "VantrellActivity.log";
const char kCsvFileName[] = "VantrellFiles.csv";
const char kIniFileName[] = "Vantrell.ini";

void EndByStop(CommandHost& host) {
    const std::string& reason = host.State().stopReason;
    host.AddLog(reason.empty() ? "Aborted by user." : reason);
    host.ReturnToIdle();
    throw SilentAbort{};
}

void EndByResourceError(CommandHost& host, const std::string& text) {
    host.ShowErrorDialog(text);
    host.ReturnToIdle();
    throw SilentAbort{};
}
