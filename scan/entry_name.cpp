#include "scan/entry_name.h"

#include <cstring>

std::string ReachableName(const WIN32_FIND_DATAA& entry) {
    if (std::strchr(entry.cFileName, '?') == nullptr)
        return entry.cFileName;
    if (entry.cAlternateFileName[0] != '\0' &&
        std::strchr(entry.cAlternateFileName, '?') == nullptr)
        return entry.cAlternateFileName;
    return std::string();
}
