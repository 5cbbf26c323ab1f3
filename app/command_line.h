// Splitting the raw command line and reading its values.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Splits a raw command line into parameters; element 0 is the program's own name.
// Codes 1..32 separate parameters, double quotes group and are removed, a lone pair of
// quotes between parameters is skipped, and a backslash escapes nothing.
std::vector<std::string> SplitCommandLine(const std::string& raw);

// True when any parameter (element 0 excluded) is /?, -?, /h or -h in any case.
bool HasHelpSwitch(const std::vector<std::string>& params);

// The process's command line in the 8-bit code page without best fit: a character it cannot
// hold becomes "?", so a path parameter holding one is refused instead of naming another.
std::string ExactCommandLine();
