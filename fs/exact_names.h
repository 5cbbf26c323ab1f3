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

// Two names or paths the file system takes for the same: ordinal, ignoring case; an empty
// text is never the same as anything.
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b);
// The name in upper case as the file system compares names (ordinal, no locale), so that
// two names SameIgnoringCase takes as one have one upper-case form.
std::wstring UpperCase(const std::wstring& name);

// A name the path layer turns into a device (CON, nul.txt, COM1, LPT¹, ...).
bool IsDeviceName(const std::wstring& name);
// A name the path layer keeps as it is: not empty, no \ / : * ? " < > | or control
// character, no trailing dot or blank, not made only of dots, not a device name.
bool IsPlainName(const std::wstring& name);

// The 8-bit name by which a listed entry is reached exactly: its long name, else its short
// name, else empty (the entry cannot be named).
std::string UsableName(const std::wstring& longName, const std::wstring& shortName);
// The 8-bit name a listed entry is shown by: its usable name, else its long name with "?"
// for each character the code page lacks. It is reached by its exact name all the same.
std::string ShownName(const std::wstring& longName, const std::wstring& shortName);

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
