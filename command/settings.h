// Vantrell.ini: the four settings kept between runs, in the private-profile (INI) format,
// read and written by the program itself: only a plain file of its own is read, without
// following a link or waiting for an oplock holder, and it is written as a new file.
#pragma once
#include <cstdint>
#include <string>

struct SettingsValues {
    bool debug = false;
    int32_t daysOld = 30;
    std::string drivePath;
    bool maximized = false;
};

// Reads every key of the first section "Vantrell" as the private-profile functions do
// (names ignoring case, blanks and one pair of quotes around a value dropped, at most 2,047
// characters, the first of repeated keys); a missing file (or a link, or a file with a
// second name), section or key, or a value that is not an integer, gives the default.
// `programDirectory` is DrivePath's default.
SettingsValues ReadSettingsFile(const std::string& iniPath, const std::string& programDirectory);

// Writes Debug, DaysOld, DrivePath and Maximized, keeping every other line of the file: a
// new file takes the old one's place. A refused write (a read-only file, a file that cannot
// be read or replaced) changes nothing and throws AppError "Unable to write to " + iniPath.
void WriteSettingsFile(const std::string& iniPath, const SettingsValues& values);

// `text` with `key` of `section` set to `value` (names compared ignoring case): the first such
// key's line replaced, else a line added after the first such section's last line, else the
// section added at the end. Every other line stays byte for byte.
std::string WithIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value);
