#include "app/settings.h"

#include "app/command_line.h"
#include "app/errors.h"

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

void WriteText(const std::string& ini, const char* key, const std::string& value) {
    if (!WritePrivateProfileStringA(kSection, key, value.c_str(), ini.c_str()))
        throw AppError("Unable to write to " + ini);
}

} // namespace

SettingsValues ReadSettingsFile(const std::string& iniPath, const std::string& programDirectory) {
    SettingsValues values;
    values.debug = ReadSwitch(iniPath, "Debug", false);
    values.daysOld = ReadInteger(iniPath, "DaysOld", 30);
    values.drivePath = ReadText(iniPath, "DrivePath", programDirectory);
    values.maximized = ReadSwitch(iniPath, "Maximized", false);
    return values;
}

void WriteSettingsFile(const std::string& iniPath, const SettingsValues& values) {
    WriteText(iniPath, "Debug", values.debug ? "1" : "0");
    WriteText(iniPath, "DaysOld", std::to_string(values.daysOld));
    WriteText(iniPath, "DrivePath", values.drivePath);
    WriteText(iniPath, "Maximized", values.maximized ? "1" : "0");
}
