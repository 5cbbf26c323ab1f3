// Removes the directories below the root that are empty and old, deepest first, each one
// given a row in the found-file list before its removal is tried.
#pragma once
#include <string>

#include "command/command_host.h"

// A directory's Modified is taken 61 seconds earlier before the old-file rule is applied to
// it, and the shifted value is what its row shows.
inline DateTime ShiftedModified(DateTime modified) {
    return modified - 61.0 / 86400.0;
}

// Under the last scan's root, checked by its identity, among the subdirectories that scan
// listed.
void RemoveEmptyDirectories(CommandHost& host);
