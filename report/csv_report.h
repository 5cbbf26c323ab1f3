// VantrellFiles.csv: the found-file list as a spreadsheet reads it.
#pragma once
#include <string>

#include "command/command_host.h"
#include "command/text_file.h"

// The header of column captions, then one line per row: the quoted path and the four other
// texts as shown (quoted where they hold a comma or a quote), every line ending with CR LF.
// Handed to `sink` in pieces of about 64 KiB, so the whole text never sits in memory.
void WriteCsvText(const FoundList& found, const RegionalFormats& formats, const TextSink& sink);
// The same text whole (for tests).
std::string CsvText(const FoundList& found, const RegionalFormats& formats);

// Replaces the file in the program directory; with Debug on, logs where it went. Running out
// of memory ends the command with its resource error.
void WriteToCSVFile(CommandHost& host);
