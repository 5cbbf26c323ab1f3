// The found-file list as one value: its order against the whole-path sort it replaced, its
// texts made when asked, the exact names kept for the deletion.
#include "list/found_list.h"
#include "list/scan_builder.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <random>

#include <windows.h>

#include <gtest/gtest.h>

#include "support/synthetic_scan.h"

namespace {

ScanRoot Root(const std::string& prefix = "C:\\T\\") {
    ScanRoot root;
    root.path = prefix;
    root.prefix = prefix;
    root.id = 99;
    root.scanStart = 40000.5;
    root.cutOff = 39970.5;
    return root;
}

std::vector<SyntheticFile> Files(std::initializer_list<const char*> paths) {
    std::vector<SyntheticFile> files;
    for (const char* path : paths)
        files.push_back({path, 39000.25, 39001.5, 39002.0});
    return files;
}

TEST(FoundList, TheLocaleSortKeyOrdersExactlyAsLstrcmpA) {
    // Rows are ordered by sort keys made once per name; they must agree with lstrcmpA on
    // every pair, the hard cases included: case, hyphen, apostrophe, accents, separators.
    const char alphabet[] = "aAbBzZ09-'_. \\,~!\xE9\xC9\xFC\xDF\xE6";
    std::mt19937 random(11);
    auto word = [&] {
        std::string w;
        for (int i = random() % 7; i > 0; --i)
            w += alphabet[random() % (sizeof alphabet - 1)];
        return w;
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (int i = 0; i < 20000; ++i) {
        const std::string a = word(), b = word();
        const int expected = sign(lstrcmpA(a.c_str(), b.c_str()));
        const int actual = sign(std::strcmp(LocaleSortKey(a).c_str(), LocaleSortKey(b).c_str()));
        ASSERT_EQ(actual, expected) << "[" << a << "] [" << b << "]";
    }
}

TEST(FoundList, OrdersAsTheWholePathSortOnHandPickedTrees) {
    // Files beside directories of nearly their names interleave; directories whose names
    // differ only in case, hyphen or accent interleave their rows; equal keys keep the
    // walk's order.
    const std::vector<std::vector<SyntheticFile>> trees = {
        Files({"z.txt", "Sub\\a.txt", "b.txt"}),
        Files({"big\\a00001.txt", "big\\a00001x\\f.txt", "big\\a00002.txt", "big\\a00002x\\f.txt",
               "report1.txt", "report1\\data.txt", "report1.doc"}),
        Files({"ab\\c.txt", "a-b\\b.txt", "ab\\a.txt", "a-b\\d.txt", "a'b\\c.txt", "AB2\\x"}),
        Files({"cafe\\b", "caf\xE9\\a", "Cafe\\c", "cafe\\z\\q", "caf\xE9\\z\\p"}),
        Files({"B", "b", "A", "a", "it's", "its", "co-op", "coop", "file9", "file10"}),
        Files({"x\\a-", "x\\a", "x-\\a", "x\\-a", "x-\\-a"}),
    };
    for (const ListOrder& order : {kLocaleOrder, kByteOrder})
        for (const auto& files : trees) {
            FoundList scan;
            FillScan(scan, Root(), files, order);
            EXPECT_EQ(FileTexts(scan), SortedWhole("C:\\T\\", files, order)) << files[0].path;
        }
}

TEST(FoundList, OrdersAsTheWholePathSortOnRandomTrees) {
    const char* const names[] = {"a", "A", "a-", "-a", "ab", "a-b", "a'b", "AB",  "b", "\xE9",
                                 "e", "E", "1",  "10", "9",  "a b", "a.b", "a_b", "~", "z"};
    std::mt19937 random(5);
    for (int tree = 0; tree < 60; ++tree) {
        std::vector<SyntheticFile> files;
        for (int i = 0, n = 5 + random() % 60; i < n; ++i) {
            std::string path;
            for (int depth = random() % 4; depth > 0; --depth)
                path += std::string(names[random() % 20]) + "\\";
            path += std::string(names[random() % 20]) + ".f" + std::to_string(random() % 3);
            if (std::find_if(files.begin(), files.end(), [&](const SyntheticFile& f) {
                    return lstrcmpiA(f.path.c_str(), path.c_str()) == 0;
                }) == files.end())
                files.push_back({path, 1, 1, 1});
        }
        FoundList scan;
        FillScan(scan, Root(), files, kLocaleOrder);
        ASSERT_EQ(FileTexts(scan), SortedWhole("C:\\T\\", files, kLocaleOrder)) << "tree " << tree;
    }
}

TEST(FoundList, MakesEachRowsTextsWhenAsked) {
    FoundList scan;
    FillScan(scan, Root(), Files({"b.txt", "Sub\\a.txt"}), kLocaleOrder);
    RegionalFormats formats;
    formats.shortDate = "yyyy-MM-dd";
    formats.longTime = "HH:mm:ss";
    ASSERT_EQ(scan.Count(), 2u);
    EXPECT_EQ(scan.Text(0, FoundList::File, formats), "C:\\T\\b.txt");
    EXPECT_EQ(scan.Text(1, FoundList::File, formats), "C:\\T\\Sub\\a.txt");
    EXPECT_EQ(scan.Text(1, FoundList::Created, formats), "2006-10-10 06:00:00");
    EXPECT_EQ(scan.Text(1, FoundList::Modified, formats), "2006-10-11 12:00:00");
    EXPECT_EQ(scan.Text(1, FoundList::Accessed, formats), "2006-10-12");
    EXPECT_EQ(scan.Text(1, FoundList::Age, formats), "1000");
    EXPECT_EQ(scan.FileText(1), "C:\\T\\Sub\\a.txt");
    EXPECT_EQ(scan.DirectoryText(scan.FileRow(1).directory), "C:\\T\\Sub\\");

    // The removal's directory rows stand at their places among the files.
    const FoundList::Index sub = scan.FileRow(1).directory;
    scan.AddDirectoryRow(sub, 39000, 39000, 39000);
    scan.AddDirectoryRow(FoundList::kRoot, 39000, 39000, 39000);
    EXPECT_EQ(scan.Count(), 2u) << "unseen until placed";
    scan.PlaceDirectoryRows(LocaleSortKey);
    EXPECT_EQ(FileTexts(scan), (std::vector<std::string>{"C:\\T\\", "C:\\T\\b.txt", "C:\\T\\Sub\\",
                                                         "C:\\T\\Sub\\a.txt"}));
    EXPECT_EQ(scan.Text(2, FoundList::Age, formats), "1000");
    scan.Clear();
    EXPECT_EQ(scan.Count(), 0u);
}

size_t keysMade = 0;
std::string CountedByteKey(const std::string& text) {
    ++keysMade;
    return text;
}

TEST(FoundList, DirectoryRowsTakeTheirPlacesWithKeysLinearInTheirNumber) {
    // Ten parents of 200 empty directories each and one file apiece: the removal adds the
    // rows deepest first, the last listed first, in two phases.
    FoundList scan;
    scan.Start(Root());
    std::vector<std::string> expected;
    std::vector<FoundList::Index> empty;
    for (int p = 0; p < 10; ++p) {
        const std::string parent = "p" + std::to_string(p);
        const FoundList::Index at =
            scan.AddDirectory(FoundList::kRoot, scan.AddName(parent, L""), 0);
        expected.push_back("C:\\T\\" + parent + "\\");
        for (int e = 0; e < 200; ++e) {
            const std::string name = "e" + std::to_string(1000 + e);
            empty.push_back(scan.AddDirectory(at, scan.AddName(name, L""), 0));
            expected.push_back("C:\\T\\" + parent + "\\" + name + "\\");
        }
        scan.AppendFile({at, scan.AddName("f.txt", L""), 0, 39000, 39000, 39000});
        expected.push_back("C:\\T\\" + parent + "\\f.txt");
    }
    std::sort(expected.begin(), expected.end());
    keysMade = 0;
    for (size_t i = empty.size(); i-- > 0;) {
        scan.AddDirectoryRow(empty[i], 39000, 39000, 39000);
        if (i == 1000)
            scan.PlaceDirectoryRows(CountedByteKey);
    }
    for (FoundList::Index p = 10; p-- > 0;)
        scan.AddDirectoryRow(1 + p * 201, 39000, 39000, 39000); // each parent, emptied
    scan.PlaceDirectoryRows(CountedByteKey);
    EXPECT_EQ(FileTexts(scan), expected);
    // Two keys a directory row for each placing, a few for the files beside it; placing each
    // among its siblings one by one made about 200 * 200 / 2 for each parent.
    EXPECT_LE(keysMade, 5u * (empty.size() + 10) + 3u * 1000) << keysMade;
}

TEST(FoundList, StepsToADirectoryKeepOnlyWhatTheWayThereShares) {
    // root - a - b - c, root - a - d, root - e: asked in an order that climbs, jumps across
    // and comes back, each answer must be the whole way, as made afresh.
    FoundList scan;
    scan.Start(Root());
    std::map<FoundList::Index, std::wstring> nameOf;
    const auto add = [&](FoundList::Index parent, const char* name) {
        const std::wstring exact(name, name + 1);
        const FoundList::Index at = scan.AddDirectory(parent, scan.AddName(name, exact), 7);
        nameOf[at] = exact;
        return at;
    };
    const FoundList::Index a = add(FoundList::kRoot, "a"), b = add(a, "b"), c = add(b, "c"),
                           d = add(a, "d"), e = add(FoundList::kRoot, "e");
    const std::map<FoundList::Index, std::vector<FoundList::Index>> ways = {
        {FoundList::kRoot, {}}, {a, {a}}, {b, {a, b}}, {c, {a, b, c}}, {d, {a, d}}, {e, {e}}};
    std::vector<ListedStep> steps;
    for (FoundList::Index to : {c, b, c, d, e, c, a, FoundList::kRoot, d, d, c}) {
        scan.StepsTo(to, steps);
        const std::vector<FoundList::Index>& way = ways.at(to);
        ASSERT_EQ(steps.size(), way.size()) << to;
        for (size_t i = 0; i < way.size(); ++i) {
            EXPECT_EQ(steps[i].directory, way[i]) << to;
            EXPECT_TRUE(steps[i].name == nameOf[way[i]] && steps[i].id == 7) << to;
        }
    }
}

TEST(FoundList, ManyTextsOrderAsOneStableSortAcrossRunsWithAtMostTwoKeysEach) {
    // Runs of a large directory are ordered apart and merged: equal texts in different runs
    // must still keep their order, and no text may cost more than two keys; whether the
    // positions are visited or the items sorted where they stand, run by run.
    const size_t count = 3 * kKeyedRun + 123;
    std::mt19937 random(3);
    std::vector<std::string> texts(count);
    for (std::string& text : texts)
        text = std::to_string(random() % 5000); // many equal texts, in every run
    std::vector<uint32_t> expected(count);
    for (uint32_t i = 0; i < count; ++i)
        expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(),
                     [&texts](uint32_t a, uint32_t b) { return texts[a] < texts[b]; });

    keysMade = 0;
    std::vector<uint32_t> visited;
    VisitInKeyOrder(
        count, [&texts](size_t i) { return texts[i]; }, CountedByteKey,
        [&](uint32_t position, const char* key) {
            ASSERT_EQ(texts[position], key);
            visited.push_back(position);
        });
    EXPECT_TRUE(visited == expected);
    EXPECT_LE(keysMade, 2 * count);

    // The items are (text, where it came from); each arrangement moves both.
    std::vector<std::pair<std::string, uint32_t>> items(count);
    for (uint32_t i = 0; i < count; ++i)
        items[i] = {texts[i], i};
    keysMade = 0;
    size_t arranged = 0;
    std::vector<std::pair<std::string, uint32_t>> merged;
    SortByKey(
        count, [&items](size_t i) { return items[i].first; }, CountedByteKey,
        [&](size_t first, ChunkedVector<uint32_t>& order) {
            ASSERT_TRUE(merged.empty()) << "a run arranged after the merge began";
            std::vector<std::pair<std::string, uint32_t>> moved;
            for (size_t i = 0; i < order.size(); ++i)
                moved.push_back(items[first + order[i]]);
            std::copy(moved.begin(), moved.end(), items.begin() + first);
            arranged += order.size();
        },
        [&](uint32_t position) { merged.push_back(items[position]); });
    std::vector<uint32_t> sorted;
    for (const auto& item : merged)
        sorted.push_back(item.second);
    EXPECT_TRUE(sorted == expected);
    EXPECT_LE(keysMade, 2 * count);
    EXPECT_EQ(arranged, count); // each run once, in place
}

// One directory beyond two runs, and a part: its rows come out of the merge whole (each
// name with its own identity and times) and in order, with nothing lost.
TEST(FoundList, OneLargeDirectoryIsSortedWithEveryRowWhole) {
    const size_t rows = 2 * kKeyedRun + 77;
    FoundList scan;
    FillGenerated(scan, Root(), rows, kByteOrder, true);
    ASSERT_EQ(scan.FileCount(), rows);
    ASSERT_EQ(scan.Count(), rows); // none held back
    std::string before;
    std::vector<bool> seen(rows);
    for (size_t row = 0; row < rows; ++row) {
        const ScanRow file = scan.FileRow(row);
        const std::string name = scan.ShownName(file.name);
        ASSERT_LT(before, name) << row;
        before = name;
        // Made as report_<100000 + n>_<random>.dat with identity 1000000000 + n.
        const size_t n = std::stoul(name.substr(7, 7)) - 100000;
        ASSERT_EQ(file.id, FileId(1000000000 + n)) << name;
        ASSERT_EQ(file.modified, 40001.25) << name;
        ASSERT_FALSE(seen[n]) << name;
        seen[n] = true;
    }
}

TEST(FoundList, KeepsTheExactNameWhereTheShownOneDiffers) {
    FoundList scan;
    scan.Start(Root());
    const struct {
        const char* shown;
        const wchar_t* exact;
    } names[] = {
        {"plain.txt", L"plain.txt"},
        {"NUL~1.TXT", L"nul.txt"}, // a device name, shown by its short name
        {"CON", L"CON"},           // one without a short name is shown as it is
        {"a?b.txt", L"a\x0141"
                    L"b.txt"}, // a character the code page lacks
        {"x.", L"x."},         // a trailing dot the path layer would drop
    };
    for (const auto& name : names) {
        const TextPool::Offset at = scan.AddName(name.shown, name.exact);
        EXPECT_STREQ(scan.ShownName(at), name.shown);
        EXPECT_EQ(scan.ExactName(at), name.exact) << name.shown;
    }
}

TEST(FoundList, HeldRowsAreNotShownUntilTheirOrderIsSettled) {
    FoundList scan;
    FillScan(scan, Root(), Files({"a.txt", "b.txt", "c.txt"}), kByteOrder);
    scan.HoldFilesFrom(1);
    EXPECT_EQ(scan.Count(), 1u);
    scan.HoldFilesFrom(SIZE_MAX);
    EXPECT_EQ(scan.Count(), 3u);
}

// Directories are kept once for each run of rows in one: a row keeps its directory when a
// tail of interleaved rows is reordered, and when rows are taken off and others come.
TEST(FoundList, EachRowKeepsItsDirectoryThroughSortsAndTruncation) {
    FoundList scan;
    scan.Start(Root());
    const FoundList::Index a = scan.AddDirectory(FoundList::kRoot, scan.AddName("A", L"A"), 0);
    const FoundList::Index b = scan.AddDirectory(FoundList::kRoot, scan.AddName("B", L"B"), 0);
    const auto add = [&scan](FoundList::Index directory, const char* name) {
        const std::wstring exact(name, name + std::strlen(name));
        scan.AppendFile({directory, scan.AddName(name, exact), 0, 39000, 39000, 39000});
    };
    add(a, "a1");
    add(a, "a2");
    add(b, "b1");
    add(a, "a3");
    const auto directories = [&scan] {
        std::vector<FoundList::Index> of;
        for (size_t row = 0; row < scan.FileCount(); ++row) {
            of.push_back(scan.FileDirectory(row));
            EXPECT_EQ(scan.FileRow(row).directory, of.back());
        }
        return of;
    };
    EXPECT_EQ(directories(), (std::vector<FoundList::Index>{a, a, b, a}));
    scan.SortFilesFrom(1, kByteOrder.key);
    EXPECT_EQ(directories(), (std::vector<FoundList::Index>{a, a, a, b}));
    EXPECT_EQ(scan.FileText(2), "C:\\T\\A\\a3");
    EXPECT_EQ(scan.FileText(3), "C:\\T\\B\\b1");
    scan.TruncateFiles(2);
    add(b, "b2");
    EXPECT_EQ(directories(), (std::vector<FoundList::Index>{a, a, b}));
    EXPECT_EQ(scan.FileText(2), "C:\\T\\B\\b2");
}

TEST(FoundList, AScanEndedWhileADirectoryIsListedKeepsOnlyTheRowsItShowed) {
    // Stopped inside a directory's listing, and inside a group of siblings whose rows
    // interleave: rows never shown must not stay on the list that Delete Files works from.
    for (bool inGroup : {false, true}) {
        FoundList scan;
        scan.Start(Root());
        {
            ScanBuilder builder(scan, inGroup ? kLocaleOrder : kByteOrder);
            builder.BeginDirectory();
            builder.AddFile("a.txt", L"a.txt", 0, 39000, 39000, 39000);
            builder.AddSubdirectory("s", L"s", 0, true);
            builder.AddSubdirectory(inGroup ? "S" : "t", inGroup ? L"S" : L"t", 0, true);
            builder.EndListing();
            builder.Entering(0);
            builder.BeginDirectory();
            builder.AddFile("b.txt", L"b.txt", 0, 39000, 39000, 39000);
            builder.AddFile("c.txt", L"c.txt", 0, 39000, 39000, 39000);
            EXPECT_EQ(scan.Count(), 1u) << inGroup;
        } // the stop: the builder goes with the listing unfinished
        EXPECT_EQ(scan.FileCount(), scan.Count()) << inGroup;
        EXPECT_EQ(scan.Count(), 1u) << inGroup;
    }
}

TEST(ChunkedVector, KeepsEveryElementThroughGrowingChunksAndSorts) {
    ChunkedVector<uint32_t> values;
    for (uint32_t i = 0; i < 600000; ++i)
        values.push_back(i * 2654435761u);
    for (uint32_t i = 0; i < 600000; i += 997)
        ASSERT_EQ(values[i], i * 2654435761u);
    EXPECT_LE(ChunkedVector<uint32_t>::ChunkSize(40) * sizeof(uint32_t), kLargestChunkBytes);
    std::sort(values.begin(), values.end());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    values.truncate(3);
    EXPECT_EQ(values.size(), 3u);
}

TEST(ChunkedVector, TrimFreesWhatOneLargeDirectoryNeededAndStaysUsable) {
    ChunkedVector<std::string> names;
    for (int i = 0; i < 5000; ++i)
        names.push_back(std::string(40, 'n') + std::to_string(i)); // moved in
    names.trim(1024);
    EXPECT_EQ(names.size(), 0u);
    EXPECT_GE(names.capacity(), 1024u);
    EXPECT_LT(names.capacity(), 2048u);
    for (int i = 0; i < 3000; ++i)
        names.push_back(std::to_string(i));
    EXPECT_EQ(names[2999], "2999");
    EXPECT_EQ(names[17], "17");
}

// A vector moved from, by construction or assignment, is empty and takes elements again.
TEST(ChunkedVector, AVectorMovedFromIsEmptyAndStaysUsable) {
    ChunkedVector<int> from;
    for (int i = 0; i < 100; ++i)
        from.push_back(i);
    ChunkedVector<int> built(std::move(from));
    ChunkedVector<int> assigned;
    assigned.push_back(-1);
    assigned = std::move(built);
    for (const ChunkedVector<int>* emptied : {&from, &built}) {
        EXPECT_EQ(emptied->size(), 0u);
        EXPECT_EQ(emptied->capacity(), 0u);
    }
    ASSERT_EQ(assigned.size(), 100u);
    EXPECT_EQ(assigned[99], 99);
    from.push_back(7);
    EXPECT_EQ(from[0], 7);
}

// An element that counts the chunks made of it, to see what a reordering holds at once.
struct Counted {
    int value;
    static int live, peak;
    static void* operator new[](size_t size) {
        peak = std::max(peak, ++live);
        return ::operator new[](size);
    }
    static void operator delete[](void* p) {
        --live;
        ::operator delete[](p);
    }
};
int Counted::live = 0, Counted::peak = 0;
using CountedVector = ChunkedVector<Counted, 1024>; // 256 elements a chunk

// A merge of sorted runs taken into a new order: the elements before the first keep their
// places, the rest come out merged, and old chunks go as they are emptied: a second copy
// of the tail (a chunk for every 256 taken) would far exceed a chunk for each run.
TEST(ChunkedVector, AReorderingByMergeKeepsTheHeadAndFreesChunksAsTheyEmpty) {
    const size_t runs = 8, runLength = 5000;
    for (const size_t first : {size_t(0), size_t(752), size_t(1000)}) { // 752 starts a chunk
        CountedVector values;
        for (size_t i = 0; i < first; ++i)
            values.push_back({-static_cast<int>(i)});
        std::mt19937 random(5);
        for (size_t r = 0; r < runs; ++r) {
            std::vector<int> run(runLength);
            for (int& v : run)
                v = static_cast<int>(random() % 100000);
            std::sort(run.begin(), run.end());
            for (int v : run)
                values.push_back({v});
        }
        std::vector<size_t> heads(runs);
        for (size_t r = 0; r < runs; ++r)
            heads[r] = first + r * runLength;
        Counted::peak = Counted::live;
        const int before = Counted::live;
        {
            CountedVector::Reordering merged(values, first);
            for (size_t taken = 0; taken < runs * runLength; ++taken) {
                size_t best = runs;
                for (size_t r = 0; r < runs; ++r)
                    if (heads[r] < first + (r + 1) * runLength &&
                        (best == runs || values[heads[r]].value < values[heads[best]].value))
                        best = r;
                merged.Take(heads[best]++);
            }
            merged.Finish();
        }
        EXPECT_LE(Counted::peak - before, int(2 * runs + 2)) << first;
        EXPECT_EQ(Counted::live, before) << first;
        ASSERT_EQ(values.size(), first + runs * runLength);
        for (size_t i = 0; i < first; ++i)
            ASSERT_EQ(values[i].value, -static_cast<int>(i)) << first;
        for (size_t i = first + 1; i < values.size(); ++i)
            ASSERT_LE(values[i - 1].value, values[i].value) << first << " at " << i;
    }
}

// Stopped by an exception, or finished with elements left behind, a reordering drops the
// tail it was rebuilding and nothing before it, frees what it made, and the vector takes
// elements again.
TEST(ChunkedVector, AnUnfinishedReorderingDropsOnlyItsTail) {
    for (const bool finish : {false, true}) {
        const int before = Counted::live;
        {
            CountedVector values;
            for (int i = 0; i < 3000; ++i)
                values.push_back({i});
            {
                CountedVector::Reordering reordering(values, 1000);
                for (size_t i = 2999; i >= 1500; --i) // the tail backwards, half of it
                    reordering.Take(i);
                if (finish) {
                    EXPECT_THROW(reordering.Finish(), std::logic_error);
                }
            }
            ASSERT_EQ(values.size(), 1000u) << finish;
            for (int i = 0; i < 1000; ++i)
                ASSERT_EQ(values[i].value, i) << finish;
            for (int i = 0; i < 2000; ++i)
                values.push_back({-i});
            EXPECT_EQ(values[2999].value, -1999) << finish;
        }
        EXPECT_EQ(Counted::live, before) << finish;
    }
}

TEST(TextPool, ReadsBackEveryTextAcrossChunks) {
    TextPool pool;
    std::vector<std::pair<TextPool::Offset, std::string>> added;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = "name" + std::string(i % 300, 'x') + std::to_string(i);
        added.emplace_back(pool.Add(text.c_str(), text.size() + 1), text);
    }
    for (const auto& entry : added)
        ASSERT_STREQ(pool.At(entry.first), entry.second.c_str());
    EXPECT_THROW(pool.Add("", size_t(3) << 20), std::bad_alloc);
}

} // namespace
