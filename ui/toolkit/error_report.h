// The general error report and the program's own message dialogs.
#pragma once
#include <functional>
#include <string>

#include "command/errors.h"

// True when a person can see this process's window station (WinSta0 of a logged-on user).
// A task run "whether the user is logged on or not", or by a service, runs on a station no
// one sees: there no dialog is shown, since no one could ever answer it.
bool DesktopIsVisible();

// A message box captioned "Vantrell" with the error icon, text by the full-stop rule.
void ShowErrorReport(const std::string& message);

// The system's default beep: a key refused, a file looked for and missing.
void DefaultBeep();

// Modal "Information" and "Error" dialogs centred on the screen.
void ShowInformationDialog(const std::string& text);
void ShowErrorDialog(const std::string& text);

// Runs `action`; an escaped error is shown by the general error report and the silent abort
// is discarded. `failure` receives the message of an error before it is shown.
Outcome RunGuardedOutcome(ActionRef action,
                          const std::function<void(const std::string&)>& failure = nullptr);

// True when `action` completed or was aborted silently.
inline bool RunGuarded(ActionRef action) {
    return RunGuardedOutcome(action) != Outcome::Failed;
}
