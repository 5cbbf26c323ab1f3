// Delete Files: deletes the file of every listed row, then removes the empty old
// directories under the root, rewrites the CSV file and the log file.
#pragma once
#include "command/command_host.h"

void DeleteFiles(CommandHost& host);
