#include "app/settings.h"

#include "app/command_line.h"
#include "app/errors.h"
#include "app/text_file.h"
#include "fs/path_text.h"
#include "fs/replacement_file.h"

#include <windows.h>

namespace {

const char kSection[] = "Vantrell";

std::string ReadText(const std::string& ini, const char* key, const std::string& fallback) {
    char buffer[2048];
    DWORD length = GetPrivateProfileStringA(kSection, key, fallback.c_str(), buffer, sizeof buffer,
                                            ini.c_str());
    return std::string(buffer, length);
}

int32_t ReadInteger(const std::string& ini, const char* key, int32_t fallback) {
    int32_t value = 0;
    return TryParseInt32(ReadText(ini, key, ""), value) ? value : fallback;
}

bool ReadSwitch(const std::string& ini, const char* key, bool fallback) {
    return ReadInteger(ini, key, fallback ? 1 : 0) != 0;
}

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

} // namespace

std::string WithIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value) {
    const std::string line = key + "=" + value + "\r\n";
    bool inSection = false;
    size_t sectionEnd = std::string::npos; // after the last non-blank line of the section
    for (size_t at = 0; at < text.size();) {
        size_t next = text.find('\n', at);
        next = next == std::string::npos ? text.size() : next + 1;
        const std::string current = text.substr(at, next - at);
        const std::string opened = SectionOf(current);
        if (!opened.empty()) {
            if (inSection)
                break; // the first such section is the one the file's readers take
            inSection = SameKey(opened, section);
            if (inSection)
                sectionEnd = next;
        } else if (inSection && SameKey(KeyOf(current), key)) {
            return text.substr(0, at) + line + text.substr(next);
        } else if (inSection && !Trimmed(current).empty()) {
            sectionEnd = next;
        }
        at = next;
    }
    if (sectionEnd != std::string::npos) {
        const std::string before = text.substr(0, sectionEnd);
        const bool ended = before.empty() || before.back() == '\n';
        return before + (ended ? "" : "\r\n") + line + text.substr(sectionEnd);
    }
    const bool ended = text.empty() || text.back() == '\n';
    return text + (ended ? "" : "\r\n") + "[" + section + "]\r\n" + line;
}

SettingsValues ReadSettingsFile(const std::string& iniPath, const std::string& programDirectory) {
    SettingsValues values;
    values.debug = ReadSwitch(iniPath, "Debug", false);
    values.daysOld = ReadInteger(iniPath, "DaysOld", 30);
    values.drivePath = ReadText(iniPath, "DrivePath", programDirectory);
    values.maximized = ReadSwitch(iniPath, "Maximized", false);
    return values;
}

// The file keeps every other key and section it held, where it is a plain file of the
// program's own; a link or a file with a second name is replaced, never written through.
void WriteSettingsFile(const std::string& iniPath, const SettingsValues& values) {
    const size_t slash = LastDelimiter(iniPath);
    std::string text;
    DWORD attributes = 0;
    const FsResult read =
        ReadPlainFile(iniPath.substr(0, slash + 1), iniPath.substr(slash + 1), text, attributes);
    const bool replaceable = read.Code() == ERROR_FILE_NOT_FOUND || read.Code() == kNotWhereListed;
    if ((!read.Ok() && !replaceable) || (read.Ok() && (attributes & FILE_ATTRIBUTE_READONLY)))
        throw AppError("Unable to write to " + iniPath);
    if (!read.Ok())
        text.clear();
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
