#include "fs/exact_names.h"

namespace {

// WC_NO_BEST_FIT_CHARS keeps lookalikes out; the code pages that refuse the flag (UTF-8,
// UTF-7, a few others) have no best fit, and the round trip below checks them all the same.
bool NarrowOnce(const std::wstring& wide, DWORD flags, std::string& narrow) {
    const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    narrow.assign(static_cast<size_t>(n), '\0');
    return WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                               &narrow[0], n, nullptr, nullptr) == n;
}

} // namespace

bool ToExactNarrow(const std::wstring& wide, std::string& narrow) {
    narrow.clear();
    if (wide.empty())
        return true;
    if (!NarrowOnce(wide, WC_NO_BEST_FIT_CHARS, narrow) && !NarrowOnce(wide, 0, narrow))
        return false;
    std::wstring back;
    return ToExactWide(narrow, back) && back == wide;
}

bool ToExactWide(const std::string& narrow, std::wstring& wide) {
    wide.clear();
    if (narrow.empty())
        return true;
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(),
                                      static_cast<int>(narrow.size()), nullptr, 0);
    if (n <= 0)
        return false;
    wide.assign(static_cast<size_t>(n), L'\0');
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(),
                               static_cast<int>(narrow.size()), &wide[0], n) == n;
}

std::string NarrowOrInvalid(const std::wstring& wide) {
    std::string whole;
    if (ToExactNarrow(wide, whole))
        return whole;
    whole.clear();
    for (size_t i = 0; i < wide.size();) {
        const bool pair =
            i + 1 < wide.size() && IS_HIGH_SURROGATE(wide[i]) && IS_LOW_SURROGATE(wide[i + 1]);
        const size_t length = pair ? 2 : 1;
        std::string one;
        whole += ToExactNarrow(wide.substr(i, length), one) ? one : std::string("?");
        i += length;
    }
    return whole;
}

// The reserved device names of "Naming Files, Paths, and Namespaces" (CON, PRN, AUX, NUL,
// COM0-COM9 and LPT0-LPT9 with the superscripts 1, 2 and 3 as digits too) and the console
// names of CreateFile (CONIN$, CONOUT$), in any case. The path layer takes the part before
// the first dot, trailing blanks dropped, so "nul.txt" and "CON .log" are devices too.
bool IsDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    for (wchar_t& c : base)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (base == device)
            return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0))
        return false;
    const wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
           digit == 0x00B3;
}

bool IsPlainName(const std::wstring& name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ' || IsDeviceName(name))
        return false;
    if (name.find_first_not_of(L'.') == std::wstring::npos)
        return false;
    for (wchar_t c : name)
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c) != nullptr)
            return false;
    return true;
}

std::string UsableName(const std::wstring& longName, const std::wstring& shortName) {
    std::string narrow;
    if (IsPlainName(longName) && ToExactNarrow(longName, narrow))
        return narrow;
    if (IsPlainName(shortName) && ToExactNarrow(shortName, narrow))
        return narrow;
    return std::string();
}

std::string ShownName(const std::wstring& longName, const std::wstring& shortName) {
    const std::string usable = UsableName(longName, shortName);
    return usable.empty() ? NarrowOrInvalid(longName) : usable;
}

std::wstring UpperCase(const std::wstring& name) {
    std::wstring upper = name;
    if (!upper.empty() &&
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()),
                     &upper[0], static_cast<int>(upper.size())) == 0)
        upper = name; // a name the call refuses keeps its own case
    return upper;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}
