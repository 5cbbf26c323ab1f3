#include "list/sort_key.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "list/text_pool.h"

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

void VisitInKeyOrder(size_t count, const std::function<std::string(size_t)>& text, SortKey key,
                     const std::function<void(uint32_t position, const char* key)>& visit) {
    struct Keyed {
        TextPool::Offset key;
        uint32_t position;
    };
    TextPool keys;
    ChunkedVector<Keyed> keyed;
    for (size_t i = 0; i < count; ++i) {
        const std::string k = key(text(i));
        keyed.push_back({keys.Add(k.c_str(), k.size() + 1), static_cast<uint32_t>(i)});
    }
    std::sort(keyed.begin(), keyed.end(), [&keys](const Keyed& a, const Keyed& b) {
        const int c = std::strcmp(keys.At(a.key), keys.At(b.key));
        return c < 0 || (c == 0 && a.position < b.position);
    });
    for (size_t i = 0; i < count; ++i)
        visit(keyed[i].position, keys.At(keyed[i].key));
}

ChunkedVector<uint32_t> OrderByKey(size_t count, const std::function<std::string(size_t)>& text,
                                   SortKey key) {
    ChunkedVector<uint32_t> order;
    VisitInKeyOrder(count, text, key,
                    [&order](uint32_t position, const char*) { order.push_back(position); });
    return order;
}
