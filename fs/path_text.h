// Paths as text in the ANSI code page: every split at a backslash counts characters, not
// bytes, since a double-byte character may end in the byte of a backslash (0x5C).
#pragma once
#include <string>

// The position after the character at `at` (two bytes for a double-byte character).
size_t NextCharacter(const std::string& text, size_t at);

// Delimiters found by characters of the ANSI code page, never inside a double-byte one.
bool EndsWithDelimiter(const std::string& path);
std::string WithTrailingBackslash(const std::string& path);
// The directory a prefix (its path with a trailing backslash) names, as the system writes a
// current directory: a drive's root keeps its backslash ("C:\"), any other directory none.
std::string DirectoryOfPrefix(const std::string& prefix);
// The position of the last (or next, from `from` on) backslash, or npos.
size_t LastDelimiter(const std::string& path);
size_t NextDelimiter(const std::string& path, size_t from);

// The path as Windows reads it, made full against `base` (a full directory with a trailing
// backslash) rather than against the process's current directory, which a scan makes the
// root for a while: forward and mixed separators, "X:" and "X:dir" on the base's drive,
// "\\.\" and UNC forms, "." and "..". A "\\?\" path is taken verbatim, as Windows
// does. Empty when the text names no path Windows would accept.
std::string FullPathAgainst(const std::string& path, const std::string& base);
// The path made full against the current directory, without best fit; empty when it
// cannot be.
std::string FullPath(const std::string& path);
