// The program's own files written whole (the CSV file, the settings): a new file beside the
// old one, on disk before it takes the old one's place by rename (fs/replacement_file.h).
#pragma once
#include <functional>
#include <string>

// Replaces the file at `path` with one holding `text`. Throws AppError "Cannot create file
// ..." when the new file cannot be made or put in place, and "Unable to write to ..." when
// the write itself fails; the old file then stays as it was.
void WriteWholeFile(const std::string& path, const std::string& text);

// The same for a file made piece by piece: `produce` hands each piece to the sink it is
// given, so the whole text never sits in memory.
using TextSink = std::function<void(const std::string& piece)>;
void WriteProducedFile(const std::string& path,
                       const std::function<void(const TextSink&)>& produce);

// "Unable to write to <path>. <reason>".
std::string UnableToWriteText(const std::string& path, unsigned long code);
