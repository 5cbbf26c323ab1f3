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
