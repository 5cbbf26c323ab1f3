// The order of the found-file list: the user's locale, as lstrcmpA compares (letters
// alphabetically with case as a tie-break, hyphen and apostrophe of low weight). A sort key
// made once per text orders the same at the cost of a byte comparison.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "base/chunked_vector.h"

// Makes the byte string whose order (strcmp) is the text's order.
using SortKey = std::string (*)(const std::string& text);

// The locale's sort key (LCMapStringA), which orders as lstrcmpA does. Throws
// std::bad_alloc when no key can be made.
std::string LocaleSortKey(const std::string& text);
// The bytes themselves, for tests that need an order easy to predict.
inline std::string ByteOrderKey(const std::string& text) {
    return text;
}

// Hands the positions 0 to `count` - 1 to `visit` in the order of the keys of their texts,
// each with its key; equal keys keep the order of their positions. Up to kKeyedRun texts,
// one key is made per text; beyond, two (see the definition), so that at most a run's keys
// are held at once. The keys live only while ordering, in chunks of their own.
const size_t kKeyedRun = 64 * 1024;
void VisitInKeyOrder(size_t count, const std::function<std::string(size_t)>& text, SortKey key,
                     const std::function<void(uint32_t position, const char* key)>& visit);
// Puts the items at `first` + order[i] at `first` + i, for every i of `order`.
using ArrangeItems = std::function<void(size_t first, ChunkedVector<uint32_t>& order)>;
// Sorts the items 0 to `count` - 1 stably by the keys of their texts. Each run is put in
// its order where it stands, through `arrange`; beyond one run, the runs' merge then hands
// `take` each item's position, as the arranged runs stand, in the final order. The caller
// moves the items out as they come, so no order of them all is ever held.
void SortByKey(size_t count, const std::function<std::string(size_t)>& text, SortKey key,
               const ArrangeItems& arrange, const std::function<void(uint32_t position)>& take);
// The positions in that order.
ChunkedVector<uint32_t> OrderByKey(size_t count, const std::function<std::string(size_t)>& text,
                                   SortKey key);

// True when the locale tells the two texts apart only by case, accents, width, kana type,
// hyphens, apostrophes or characters without weight: the rows of two directories so named
// interleave in the list, however their own names order.
bool DifferOnlyInLowWeights(const std::string& a, const std::string& b);

// An order of the list: the key of a text, and whether the rows of two sibling directories
// of these names may interleave.
struct ListOrder {
    SortKey key;
    bool (*interleave)(const std::string& a, const std::string& b);
};
// The list's own order.
const ListOrder kLocaleOrder = {LocaleSortKey, DifferOnlyInLowWeights};
// Byte order, in which the rows of two directories never interleave (for tests).
const ListOrder kByteOrder = {ByteOrderKey,
                              [](const std::string&, const std::string&) { return false; }};
