// VantrellFiles.csv: the found-file list as a spreadsheet reads it.
#pragma once
#include <string>

#include "app/command_host.h"

// The header of column captions, then one line per row: the quoted path and the four other
// texts as shown (quoted where they hold a comma or a quote), every line ending with CR LF.
std::string CsvText(const FoundFileList& list);

// Writes the file whole into the program directory; with Debug on, logs where it went.
void WriteToCSVFile(CommandHost& host);
