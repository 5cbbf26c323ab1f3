#include "list/sort_key.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

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

namespace {

// Positions [first, first + count) in the order of their keys, each handed to `visit` with
// its key; the keys live only while these are ordered.
void VisitRunInKeyOrder(size_t first, size_t count, const std::function<std::string(size_t)>& text,
                        SortKey key,
                        const std::function<void(uint32_t position, const char* key)>& visit) {
    struct Keyed {
        TextPool::Offset key;
        uint32_t position;
    };
    TextPool keys;
    ChunkedVector<Keyed> keyed;
    for (size_t i = first; i < first + count; ++i) {
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

// The runs of kKeyedRun positions, each already in key order, merged: `positionAt(at)` is
// the position the `at`th of them holds. Each run's next position alone has a key.
void MergeRuns(size_t count, const std::function<uint32_t(size_t at)>& positionAt,
               const std::function<std::string(size_t)>& text, SortKey key,
               const std::function<void(uint32_t position, const char* key)>& visit) {
    struct Head {
        std::string key;
        size_t at, end;
    };
    // Equal keys: the earlier run first, as its positions are the earlier.
    const auto later = [](const Head& a, const Head& b) {
        const int c = std::strcmp(a.key.c_str(), b.key.c_str());
        return c > 0 || (c == 0 && a.end > b.end);
    };
    std::vector<Head> heads;
    for (size_t at = 0; at < count; at += kKeyedRun)
        heads.push_back({key(text(positionAt(at))), at, std::min(at + kKeyedRun, count)});
    std::make_heap(heads.begin(), heads.end(), later);
    while (!heads.empty()) {
        std::pop_heap(heads.begin(), heads.end(), later);
        Head& head = heads.back();
        visit(positionAt(head.at), head.key.c_str());
        if (++head.at == head.end) {
            heads.pop_back();
            continue;
        }
        head.key = key(text(positionAt(head.at)));
        std::push_heap(heads.begin(), heads.end(), later);
    }
}

} // namespace

// A key is about two and a half times its text, so the keys of one large directory would
// outweigh its rows. Beyond one run, each run is ordered with its own keys, which then go;
// the runs are merged with a key made again for each run's next position alone.
void VisitInKeyOrder(size_t count, const std::function<std::string(size_t)>& text, SortKey key,
                     const std::function<void(uint32_t position, const char* key)>& visit) {
    if (count <= kKeyedRun) {
        VisitRunInKeyOrder(0, count, text, key, visit);
        return;
    }
    ChunkedVector<uint32_t> runs; // each run's positions in its order, run after run
    for (size_t first = 0; first < count; first += kKeyedRun)
        VisitRunInKeyOrder(first, std::min(kKeyedRun, count - first), text, key,
                           [&runs](uint32_t position, const char*) { runs.push_back(position); });
    MergeRuns(
        count, [&runs](size_t at) { return runs[at]; }, text, key, visit);
}

// As above, but each run is arranged as soon as it is ordered, so the merge reads the runs
// where they stand and hands on each position as it comes.
void SortByKey(size_t count, const std::function<std::string(size_t)>& text, SortKey key,
               const ArrangeItems& arrange, const std::function<void(uint32_t position)>& take) {
    for (size_t first = 0; first < count; first += kKeyedRun) {
        ChunkedVector<uint32_t> order;
        VisitRunInKeyOrder(first, std::min(kKeyedRun, count - first), text, key,
                           [&](uint32_t position, const char*) {
                               order.push_back(static_cast<uint32_t>(position - first));
                           });
        arrange(first, order);
    }
    if (count <= kKeyedRun)
        return;
    MergeRuns(
        count, [](size_t at) { return static_cast<uint32_t>(at); }, text, key,
        [&take](uint32_t position, const char*) { take(position); });
}

ChunkedVector<uint32_t> OrderByKey(size_t count, const std::function<std::string(size_t)>& text,
                                   SortKey key) {
    ChunkedVector<uint32_t> order;
    VisitInKeyOrder(count, text, key,
                    [&order](uint32_t position, const char*) { order.push_back(position); });
    return order;
}
