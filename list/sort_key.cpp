#include "list/sort_key.h"

#include <cstring>
#include <new>

#include <windows.h>

std::string LocaleSortKey(const std::string& text) {
    // One call for the usual text; a longer key is asked for its size first.
    char buffer[1024];
    int size =
        LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.c_str(), -1, buffer, sizeof buffer);
    if (size > 0)
        return std::string(buffer, std::strlen(buffer));
    size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.c_str(), -1, nullptr, 0);
    if (size <= 0)
        throw std::bad_alloc(); // no key can be made: treated as running out of resources
    std::string key(static_cast<size_t>(size), '\0');
    LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.c_str(), -1, &key[0], size);
    key.resize(std::strlen(key.c_str()));
    return key;
}

// A key holds the primary weights of the whole text first, then the diacritic, case and
// special weights (hyphen, apostrophe), each part ended by the byte 1.
bool DifferOnlyInLowWeights(const std::string& a, const std::string& b) {
    const std::string keyA = LocaleSortKey(a), keyB = LocaleSortKey(b);
    return keyA.substr(0, keyA.find('\x01')) == keyB.substr(0, keyB.find('\x01'));
}
