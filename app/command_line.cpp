#include "app/command_line.h"

#include "fs/exact_names.h"
#include "fs/path_text.h"

#include <windows.h>

namespace {

bool IsSeparator(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsHelpSwitchFor(const std::string& p, char lower) {
    if (p.size() != 2 || (p[0] != '-' && p[0] != '/'))
        return false;
    char c = p[1];
    if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    return c == lower;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& raw) {
    std::vector<std::string> params;
    size_t i = 0;
    const size_t n = raw.size();
    auto at = [&](size_t k) { return k < n ? raw[k] : '\0'; };
    for (;;) {
        for (;;) {
            while (at(i) != '\0' && IsSeparator(at(i)))
                ++i;
            if (at(i) == '"' && at(i + 1) == '"')
                i += 2;
            else
                break;
        }
        if (at(i) == '\0')
            break;
        std::string param;
        while (at(i) != '\0' && !IsSeparator(at(i))) {
            if (at(i) == '"') {
                ++i;
                while (at(i) != '\0' && at(i) != '"')
                    param += raw[i++];
                if (at(i) != '\0')
                    ++i;
            } else {
                param += raw[i++];
            }
        }
        params.push_back(param);
    }
    return params;
}

bool HasHelpSwitch(const std::vector<std::string>& params) {
    for (char letter : {'h', '?'})
        for (size_t i = 1; i < params.size(); ++i)
            if (IsHelpSwitchFor(params[i], letter))
                return true;
    return false;
}

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

std::string ExactCommandLine() {
    return NarrowOrInvalid(GetCommandLineW());
}
