#include "app/command_line.h"

#include "fs/exact_names.h"
#include "fs/path_text.h"

#include <windows.h>

namespace {

bool IsSeparator(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
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

std::string ExactCommandLine() {
    return NarrowOrInvalid(GetCommandLineW());
}
