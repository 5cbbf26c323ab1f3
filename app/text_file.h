// Files written whole: created or truncated, then one write of all their text.
#pragma once
#include <string>

// Replaces the file's content with `text`. Throws AppError "Cannot create file ..." when the
// file cannot be created, and "Unable to write to ..." when the write itself fails part-way.
void WriteWholeFile(const std::string& path, const std::string& text);
