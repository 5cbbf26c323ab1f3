// The choice of run mode from the command line, and the usage text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RunModeDecision {
    enum Kind { Interactive, Unattended, Help, ParameterError } kind = Interactive;
    std::string message; // the parameter error's text
    std::string path;    // unattended: the root path exactly as typed
    int32_t days = 0;    // unattended: the number of days
};

// `params` as SplitCommandLine gives them (element 0 is the program). `isDirectory` tells
// whether a path names an existing directory.
RunModeDecision DecideRunMode(const std::vector<std::string>& params,
                              bool (*isDirectory)(const std::string&));

// The usage dialog's text, lines separated by a line feed alone.
std::string UsageText();
