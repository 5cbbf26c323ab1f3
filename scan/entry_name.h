// The name by which a listed entry can be reached in the system's 8-bit code page.
#pragma once
#include <string>

#include <windows.h>

// The long name, or the short (8.3) name when the long one holds characters the code page
// cannot express (the listing shows them as "?"). Empty when neither can be used.
std::string ReachableName(const WIN32_FIND_DATAA& entry);

inline bool IsDotEntry(const char* name) {
    return (name[0] == '.' && name[1] == '\0') ||
           (name[0] == '.' && name[1] == '.' && name[2] == '\0');
}
