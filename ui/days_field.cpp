#include "ui/days_field.h"

#include "app/command_line.h"

bool IsDaysCharAccepted(char c, char decimalSeparator) {
    if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == decimalSeparator)
        return true;
    // Backspace, and Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z.
    return c == 8 || c == 3 || c == 22 || c == 24 || c == 26;
}

int32_t DaysValueOf(const std::string& text) {
    int32_t value = 0;
    return TryParseInt32(text, value) ? value : 0;
}

int32_t ClampDays(int32_t value) {
    return value < kMinDays ? kMinDays : (value > kMaxDays ? kMaxDays : value);
}

std::string DaysTextOnExit(const std::string& text) {
    int32_t value = 0;
    if (!TryParseInt32(text, value) || value == ClampDays(value))
        return text;
    return std::to_string(ClampDays(value));
}

int32_t SteppedDays(const std::string& text, int delta) {
    int64_t value = static_cast<int64_t>(DaysValueOf(text)) + delta;
    if (value < kMinDays)
        return kMinDays;
    if (value > kMaxDays)
        return kMaxDays;
    return static_cast<int32_t>(value);
}
