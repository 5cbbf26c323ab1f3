#include "fs/path_text.h"

#include "fs/exact_names.h"

namespace {

bool IsLeadByte(char c) {
    return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE;
}

} // namespace

size_t NextCharacter(const std::string& text, size_t at) {
    return IsLeadByte(text[at]) && at + 1 < text.size() ? at + 2 : at + 1;
}

size_t NextDelimiter(const std::string& path, size_t from) {
    for (size_t i = 0; i < path.size(); i = NextCharacter(path, i))
        if (path[i] == '\\' && i >= from)
            return i; // a trail byte is never a delimiter
    return std::string::npos;
}

size_t LastDelimiter(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t at = NextDelimiter(path, 0); at != std::string::npos;
         at = NextDelimiter(path, at + 1))
        last = at;
    return last;
}

bool EndsWithDelimiter(const std::string& path) {
    return !path.empty() && LastDelimiter(path) == path.size() - 1;
}

std::string WithTrailingBackslash(const std::string& path) {
    return EndsWithDelimiter(path) ? path : path + "\\";
}

std::string DirectoryOfPrefix(const std::string& prefix) {
    return prefix.size() > 3 && EndsWithDelimiter(prefix) ? prefix.substr(0, prefix.size() - 1)
                                                          : prefix;
}

namespace {

// Windows takes a forward slash wherever it takes a backslash, except after the verbatim
// prefix "\\?\" (backslashes exactly), which passes the rest to the file system as it is.
// A prefix spelt with a forward slash anywhere is the device form "\\.\", normalized.
std::string WithBackslashes(const std::string& path) {
    if (path.compare(0, 4, "\\\\?\\") == 0)
        return path;
    std::string text = path;
    for (size_t i = 0; i < text.size(); i = NextCharacter(text, i))
        if (text[i] == '/')
            text[i] = '\\';
    if (text.compare(0, 4, "\\\\?\\") == 0)
        text[2] = '.';
    return text;
}

// What "\\dir" is relative to: the base's drive ("C:"), or its share ("\\\\server\\share").
std::string RootOf(const std::string& base) {
    if (base.compare(0, 2, "\\\\") != 0)
        return base.substr(0, 2);
    const size_t server = NextDelimiter(base, 2);
    const size_t share = server == std::string::npos ? server : NextDelimiter(base, server + 1);
    return share == std::string::npos ? base : base.substr(0, share);
}

} // namespace

std::string FullPathAgainst(const std::string& typed, const std::string& base) {
    if (typed.empty())
        return typed; // no path is not the base directory
    const std::string path = WithBackslashes(typed);
    if (path.compare(0, 4, "\\\\?\\") == 0)
        return path; // Windows passes it on unchanged (Wine would normalize it)
    std::string combined = path;
    const bool hasDrive = path.size() >= 2 && path[1] == ':' && !IsLeadByte(path[0]);
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    const bool sameDrive = hasDrive && base.size() >= 2 && upper(path[0]) == upper(base[0]);
    if (path.compare(0, 2, "\\\\") == 0 || (hasDrive && path.size() >= 3 && path[2] == '\\'))
        ; // already full
    else if (path[0] == '\\')
        combined = RootOf(base) + path;
    else if (hasDrive && sameDrive)
        combined = base + path.substr(2);
    else if (!hasDrive)
        combined = base + path;
    // Another drive's "X:dir" is made full against that drive's own current directory.
    return FullPath(combined);
}

std::string FullPath(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !ToExactWide(path, wide))
        return std::string();
    const std::wstring full = GrownWideText([&wide](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
    });
    std::string narrow;
    return !full.empty() && ToExactNarrow(full, narrow) ? narrow : std::string();
}
