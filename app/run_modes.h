// The choice of run mode from the command line, and the usage text.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RunModeDecision {
    enum Kind { Interactive, Unattended, Help, ParameterError } kind = Interactive;
    std::string message;  // the parameter error's text
    std::string path;     // unattended: the root path exactly as typed
    std::string fullPath; // unattended: the existing directory Windows reads in it
    int32_t days = 0;     // unattended: the number of days
};

// `params` as SplitCommandLine gives them (element 0 is the program). `existingDirectory`
// gives the full path of the existing directory a typed path names, or empty.
RunModeDecision
DecideRunMode(const std::vector<std::string>& params,
              const std::function<std::string(const std::string&)>& existingDirectory);

// The usage dialog's text, lines separated by a line feed alone.
std::string UsageText();
