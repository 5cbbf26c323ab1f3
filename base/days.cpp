#include "base/days.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool TryParseInt32(const std::string& text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int digit =
            hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        // Eight hex digits are a 32-bit pattern: $FFFFFFFF reads as -1.
        uint32_t bits = static_cast<uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        value = static_cast<int32_t>(bits);
        return true;
    }
    if (negative ? magnitude > 0x80000000ull : magnitude > 0x7FFFFFFFull)
        return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return true;
}

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
