// The file collector: walks the tree below a root, files before subdirectories, and adds a
// row to the found-file list for every old file.
#pragma once
#include <string>

#include "command/command_host.h"

// `root` is a full path. Every entry is read through a handle to the directory the walk has
// checked it is in, so nothing outside the root is ever listed. The found-file list becomes
// what this scan listed, its root included. A directory below the root that cannot be entered is
// logged with its reason and passed over. Ends normally with the start directory current again, or
// by the silent abort (stop, resource error) or an AppError (a root that cannot be made current or
// opened).
void FindOldFiles(CommandHost& host, const std::string& root, DateTime cutOff);
