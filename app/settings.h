// Vantrell.ini: the four settings kept between runs, read and written through the
// private-profile functions.
#pragma once
#include <cstdint>
#include <string>

struct SettingsValues {
    bool debug = false;
    int32_t daysOld = 30;
    std::string drivePath;
    bool maximized = false;
};

// Reads every key of section "Vantrell"; a missing file, section or key, or a value that is
// not an integer, gives the default. `programDirectory` is DrivePath's default.
SettingsValues ReadSettingsFile(const std::string& iniPath, const std::string& programDirectory);

// Writes Debug, DaysOld, DrivePath and Maximized in that order. A refused write stops the
// save at that key with AppError "Unable to write to " + iniPath.
void WriteSettingsFile(const std::string& iniPath, const SettingsValues& values);
