#include "app/run_modes.h"

#include "app/command_line.h"
#include "base/days.h"

namespace {

RunModeDecision Error(const std::string& message) {
    RunModeDecision d;
    d.kind = RunModeDecision::ParameterError;
    d.message = message;
    return d;
}

} // namespace

RunModeDecision
DecideRunMode(const std::vector<std::string>& params,
              const std::function<std::string(const std::string&)>& existingDirectory) {
    RunModeDecision decision;
    if (HasHelpSwitch(params)) {
        decision.kind = RunModeDecision::Help;
        return decision;
    }
    if (params.size() != 3)
        return decision; // none, one, three or more parameters: the window as usual
    const std::string& path = params[1];
    const std::string fullPath = existingDirectory(path);
    if (fullPath.empty())
        return Error("ERROR: The Path parameter " + path +
                     " has a path that cannot be found or does not exist.");
    const std::string& text = params[2];
    const std::string prefix = "ERROR: The Days parameter " + text;
    int32_t days = 0;
    if (!TryParseInt32(text, days))
        return Error(prefix + " is not a valid integer.");
    if (days < 0)
        return Error(prefix + " must be a positive number.");
    if (days > kMaxDays)
        return Error(prefix + " must be 365 days or less.");
    decision.kind = RunModeDecision::Unattended;
    decision.path = path;
    decision.fullPath = fullPath;
    decision.days = days;
    return decision;
}

std::string UsageText() {
    return "USAGE:\n"
           "\n"
           "Vantrell [[drive:][path] [days]] | [/?]\n"
           "\n"
           "  [drive:][path]\n"
           "     Specifies root of path to clean.\n"
           "     Enclose paths with spaces in quotes.\n"
           "\n"
           "  [days]\n"
           "     Number of days old files should be before being removed.\n"
           "     Range 0 to 365 days.\n"
           "\n"
           "  [/?]\n"
           "     Displays this help.";
}
