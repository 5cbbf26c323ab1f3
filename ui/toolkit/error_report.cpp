#include "ui/toolkit/error_report.h"

#include "command/errors.h"

#include <windows.h>

namespace {

void Box(const std::string& text, const char* caption, UINT icon) {
    if (!DesktopIsVisible())
        return;
    // Unowned, so the box is centred on the screen; task-modal, so the program's windows
    // wait for it. Unowned boxes do not hand the keyboard back, so that is done here.
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | icon | MB_TASKMODAL | MB_SETFOREGROUND);
    if (active && IsWindow(active))
        SetActiveWindow(active);
    if (focus && IsWindow(focus) && IsWindowEnabled(focus))
        SetFocus(focus);
}

} // namespace

bool DesktopIsVisible() {
    // Where the question cannot be answered, the dialogs behave as they always did.
    static const bool visible = [] {
        USEROBJECTFLAGS flags{};
        HWINSTA station = GetProcessWindowStation();
        return station == nullptr ||
               !GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr) ||
               (flags.dwFlags & WSF_VISIBLE) != 0;
    }();
    return visible;
}

void ShowErrorReport(const std::string& message) {
    Box(ErrorReportText(message), "Vantrell", MB_ICONERROR);
}

void DefaultBeep() {
    MessageBeep(MB_OK);
}

void ShowInformationDialog(const std::string& text) {
    Box(text, "Information", MB_ICONINFORMATION);
}

void ShowErrorDialog(const std::string& text) {
    Box(text, "Error", MB_ICONERROR);
}

Outcome RunGuardedOutcome(ActionRef action,
                          const std::function<void(const std::string&)>& failure) {
    std::string message;
    const Outcome outcome = RunCaught(action, message);
    if (outcome != Outcome::Failed)
        return outcome;
    try {
        if (failure)
            failure(message);
        ShowErrorReport(message);
    } catch (...) {
        // The report itself must not let anything escape.
    }
    return Outcome::Failed;
}
