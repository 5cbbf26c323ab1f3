// Names and paths as exact 8-bit text. The system's 8-bit functions turn a character the code
// page lacks into a lookalike ("＼" into "\", "Ł" into "L"), and its path layer drops a
// trailing dot or blank; either makes a name mean another file. Every name the program takes
// from the file system or the command line passes through here, and every split of a path at
// a backslash counts characters, not bytes (a double-byte character may end in 0x5C).
#pragma once
#include <string>

#include <windows.h>

// The wide text in the ANSI code page, only when converting it back gives the same wide text.
bool ToExactNarrow(const std::wstring& wide, std::string& narrow);
// The 8-bit text in UTF-16; false when it is not valid text of the code page.
bool ToExactWide(const std::string& narrow, std::wstring& wide);
// Every character without an exact 8-bit form becomes "?", which no path may hold, so the
// text is refused wherever it is used as a path.
std::string NarrowOrInvalid(const std::wstring& wide);

// A name the path layer turns into a device (CON, nul.txt, COM1, LPT¹, ...).
bool IsDeviceName(const std::wstring& name);
// A name the path layer keeps as it is: not empty, no \ / : * ? " < > | or control
// character, no trailing dot or blank, not made only of dots, not a device name.
bool IsPlainName(const std::wstring& name);

// The 8-bit name by which a listed entry is reached exactly: its long name, else its short
// name, else empty (the entry cannot be named).
std::string UsableName(const std::wstring& longName, const std::wstring& shortName);

// The text a call writes into a buffer it is given, for the calls that return the length
// written, or the size needed when the buffer is too small, or 0 on failure. Empty on
// failure, with the call's error still the last one.
template <typename Fill> std::wstring GrownWideText(Fill fill) {
    std::wstring text(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD n = fill(&text[0], static_cast<DWORD>(text.size()));
        if (n == 0)
            return std::wstring();
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.resize(n + 1);
    }
}

// The position after the character at `at` (two bytes for a double-byte character).
size_t NextCharacter(const std::string& text, size_t at);

// Delimiters found by characters of the ANSI code page, never inside a double-byte one.
bool EndsWithDelimiter(const std::string& path);
std::string WithTrailingBackslash(const std::string& path);
// The position of the last (or next, from `from` on) backslash, or npos.
size_t LastDelimiter(const std::string& path);
size_t NextDelimiter(const std::string& path, size_t from);

// The path made full against `base` (a full directory with a trailing backslash) rather
// than against the process's current directory, which the walks move. Unchanged when it
// cannot be made full.
std::string FullPathAgainst(const std::string& path, const std::string& base);
// The path made full against the current directory, without best fit; empty when it
// cannot be.
std::string FullPath(const std::string& path);
