#include "command/settings.h"

#include "base/days.h"
#include "command/errors.h"
#include "command/text_file.h"
#include "fs/path_text.h"
#include "fs/plain_file.h"

#include <windows.h>

namespace {

const char kSection[] = "Vantrell";

bool SameKey(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    const size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The section a line opens ("" for none), and the key a line sets ("" for none).
std::string SectionOf(const std::string& line) {
    const std::string text = Trimmed(line);
    const size_t close = text.find(']');
    return !text.empty() && text[0] == '[' && close != std::string::npos
               ? Trimmed(text.substr(1, close - 1))
               : std::string();
}

std::string KeyOf(const std::string& line) {
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : Trimmed(line.substr(0, equals));
}

// Where `key` of the first section named `section` stands in `text` (the one its readers
// take): its line [at, next), and the end of that section's last non-blank line; npos for
// what is not there.
struct IniPlace {
    size_t at = std::string::npos;
    size_t next = std::string::npos;
    size_t sectionEnd = std::string::npos;
};

IniPlace FindKey(const std::string& text, const std::string& section, const std::string& key) {
    IniPlace place;
    bool inSection = false;
    for (size_t at = 0; at < text.size();) {
        size_t next = text.find('\n', at);
        next = next == std::string::npos ? text.size() : next + 1;
        const std::string current = text.substr(at, next - at);
        const std::string opened = SectionOf(current);
        if (!opened.empty()) {
            if (inSection)
                break;
            inSection = SameKey(opened, section);
            if (inSection)
                place.sectionEnd = next;
        } else if (inSection && SameKey(KeyOf(current), key)) {
            place.at = at;
            place.next = next;
            return place;
        } else if (inSection && !Trimmed(current).empty()) {
            place.sectionEnd = next;
        }
        at = next;
    }
    return place;
}

// A key's text as the private-profile functions give it: blanks around it dropped, one pair
// of enclosing quotes taken off, at most 2047 characters; `fallback` where there is none.
std::string ReadText(const std::string& text, const char* key, const std::string& fallback) {
    const IniPlace place = FindKey(text, kSection, key);
    if (place.at == std::string::npos)
        return fallback;
    const std::string line = text.substr(place.at, place.next - place.at);
    std::string value = Trimmed(line.substr(line.find('=') + 1));
    if (value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value.substr(0, 2047);
}

int32_t ReadInteger(const std::string& text, const char* key, int32_t fallback) {
    int32_t value = 0;
    return TryParseInt32(ReadText(text, key, ""), value) ? value : fallback;
}

bool ReadSwitch(const std::string& text, const char* key, bool fallback) {
    return ReadInteger(text, key, fallback ? 1 : 0) != 0;
}

// The file's text where it is a plain file of the program's own, read without following a
// link or waiting for an oplock holder; empty where there is none.
std::string ReadOwnSettings(const std::string& iniPath, DWORD& attributes, FsResult& read) {
    const size_t slash = LastDelimiter(iniPath);
    std::string text;
    read = ReadPlainFile(iniPath.substr(0, slash + 1), iniPath.substr(slash + 1), text, attributes);
    if (!read.Ok())
        text.clear();
    return text;
}

} // namespace

std::string WithIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value) {
    const std::string line = key + "=" + value + "\r\n";
    const IniPlace place = FindKey(text, section, key);
    if (place.at != std::string::npos)
        return text.substr(0, place.at) + line + text.substr(place.next);
    if (place.sectionEnd != std::string::npos) {
        const std::string before = text.substr(0, place.sectionEnd);
        const bool ended = before.empty() || before.back() == '\n';
        return before + (ended ? "" : "\r\n") + line + text.substr(place.sectionEnd);
    }
    const bool ended = text.empty() || text.back() == '\n';
    return text + (ended ? "" : "\r\n") + "[" + section + "]\r\n" + line;
}

SettingsValues ReadSettingsFile(const std::string& iniPath, const std::string& programDirectory) {
    DWORD attributes = 0;
    FsResult read;
    const std::string text = ReadOwnSettings(iniPath, attributes, read);
    SettingsValues values;
    values.debug = ReadSwitch(text, "Debug", false);
    values.daysOld = ReadInteger(text, "DaysOld", 30);
    values.drivePath = ReadText(text, "DrivePath", programDirectory);
    values.maximized = ReadSwitch(text, "Maximized", false);
    return values;
}

// The file keeps every other key and section it held, where it is a plain file of the
// program's own; a link or a file with a second name is replaced, never written through.
void WriteSettingsFile(const std::string& iniPath, const SettingsValues& values) {
    DWORD attributes = 0;
    FsResult read;
    std::string text = ReadOwnSettings(iniPath, attributes, read);
    const bool replaceable = read.Code() == ERROR_FILE_NOT_FOUND || read.Code() == kNotWhereListed;
    if ((!read.Ok() && !replaceable) || (read.Ok() && (attributes & FILE_ATTRIBUTE_READONLY)))
        throw AppError("Unable to write to " + iniPath);
    text = WithIniValue(text, kSection, "Debug", values.debug ? "1" : "0");
    text = WithIniValue(text, kSection, "DaysOld", std::to_string(values.daysOld));
    text = WithIniValue(text, kSection, "DrivePath", values.drivePath);
    text = WithIniValue(text, kSection, "Maximized", values.maximized ? "1" : "0");
    try {
        WriteWholeFile(iniPath, text);
    } catch (const AppError&) {
        throw AppError("Unable to write to " + iniPath);
    }
}
