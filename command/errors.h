// The error model: errors carry their user-facing text; the silent abort carries none.
#pragma once
#include <stdexcept>
#include <string>
#include <type_traits>

#include "fs/fs_result.h"

// Ends an operation that was stopped by the user or by a resource-error dialog.
// The general error report discards it without a message.
struct SilentAbort {};

// How a guarded action ended.
enum class Outcome { Completed, Aborted, Failed };

// A reference to something to call, made without allocating: a std::function of a lambda
// with a few captures allocates, and that allocation, made before any guard, could let an
// exception out of a window procedure when memory runs short.
class ActionRef {
  public:
    template <typename Action>
    ActionRef(Action&& action) // NOLINT: made from lambdas at every call
        : action_(&action),
          call_([](void* a) { (*static_cast<std::remove_reference_t<Action>*>(a))(); }) {}
    void operator()() const { call_(action_); }

  private:
    void* action_;
    void (*call_)(void*);
};

// Runs `action` and catches whatever escapes it: the silent abort ends it as Aborted, any
// other error as Failed with its text in `message` ("Out of memory", "Unexpected error").
Outcome RunCaught(ActionRef action, std::string& message) noexcept;

// An error that the general error report shows with its text.
class AppError : public std::runtime_error {
  public:
    explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// The text of an input/output error for a system error code ("File access denied", ...).
std::string InOutErrorText(unsigned long code);

// The error raised when a directory cannot be made current.
AppError InOutError(unsigned long code);
// Ends a walk with the input/output error of a failed file-system step.
inline void ThrowIfFailed(const FsResult& outcome) {
    if (!outcome.Ok())
        throw InOutError(outcome.Code());
}

// The message box text of the general error report: a full stop is added when the
// last character has a code above that of the full stop.
std::string ErrorReportText(const std::string& message);

// The system's message for an error code, trailing blanks, control characters and
// full stops removed; empty when the system has none.
std::string ReasonText(unsigned long code);

// The clean-up applied to a system message (exposed for tests).
std::string TrimReason(const std::string& message);

// "Cannot create file "<path>". <reason>" for a file that could not be created.
AppError CannotCreateFile(const std::string& path, unsigned long code);
// "Cannot open directory "<path>". <reason>" for a root that exists but cannot be opened.
AppError CannotOpenDirectory(const std::string& path, unsigned long code);
