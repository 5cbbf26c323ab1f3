// Removes the directories below the root that are empty and old, deepest first, each one
// given a row in the found-file list before its removal is tried.
#pragma once
#include <string>

#include "command/command_host.h"

// Under the last scan's root, checked by its identity, among the subdirectories that scan
// listed.
void RemoveEmptyDirectories(CommandHost& host);
