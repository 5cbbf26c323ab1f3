// A 32-bit program on 64-bit Windows is shown SysWOW64 where it names System32 (all but a
// few directories below it). A root there would be scanned and cleaned in the 32-bit twin
// while the log and the CSV file name System32. "Sysnative" names the real System32 to
// such a program, so that is the name the walk takes.
#pragma once
#include <string>

// `path` (full) with the System32 of `windowsDirectory` (no trailing backslash), or a
// directory below it, named through Sysnative; any other path unchanged. Case is ignored.
std::string ThroughSysnative(const std::string& path, const std::string& windowsDirectory);

// The same where this process is a 32-bit one on 64-bit Windows; unchanged elsewhere.
std::string WithoutRedirection(const std::string& path);

// Below the root every open is relative to a directory's handle, and WoW64 redirects such
// an open too when that handle is System32 or the Windows folder. While one of these lives,
// the thread's redirection is off (in a 32-bit process on 64-bit Windows; elsewhere it does
// nothing). Held around a single open only: a library loaded meanwhile would come from the
// 64-bit System32.
class RedirectionOff {
  public:
    RedirectionOff();
    ~RedirectionOff();
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

  private:
    void* previous_ = nullptr;
    bool off_ = false;
};
