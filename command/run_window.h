// The window that carries a run, as the run sees it: the commands' host, and what the start
// of a run needs beyond it.
#pragma once
#include <cstdint>
#include <string>

#include "command/command_host.h"

// What a run asks of the window that carries it, beyond the commands' host.
class RunWindow : public CommandHost {
  public:
    // An interactive run: the window opens for the user.
    virtual void ShowForUse() = 0;
    // Ends the run with `code` once the log is written.
    virtual void ExitProgram(int32_t code) = 0;
    // Ends the run with `code` without touching the installation's records.
    virtual void EndUntouched(int32_t code) = 0;
    virtual void ShowInformationDialog(const std::string& text) = 0;
    // Whether a person can see the desktop the run is on.
    virtual bool DesktopIsVisible() = 0;
};
