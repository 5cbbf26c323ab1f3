// Where the running executable lies: its full path and its directory.
#pragma once
#include <string>

// The executable's full path as the system reports it.
std::string ExecutablePath();

// The executable's directory with one trailing backslash (a drive root stays C:\).
std::string ProgramDirectory();
