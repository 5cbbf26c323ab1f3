// Fills the found-file list with synthetic rows through the walk's own insertion path (no
// files), and prints what it cost: peak heap bytes per row with and beyond the text, the
// largest single allocation, the time to fill and order, the CSV file streamed to nowhere,
// and the texts of random rows as the list view asks for them. Not part of the product.
// Usage: vantrell_synthetic.exe [rows] [flat]   (flat: every row in one directory)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "report/csv_report.h"
#include "support/synthetic_scan.h"

namespace {

// Every heap block carries its size, so the current and peak totals are exact.
size_t current = 0, peak = 0, largest = 0;
const size_t kHeader = 16;

void* Allocate(size_t size) {
    char* block = static_cast<char*>(std::malloc(size + kHeader));
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    current += size;
    if (current > peak)
        peak = current;
    if (size > largest)
        largest = size;
    return block + kHeader;
}

void Free(void* p) {
    if (!p)
        return;
    char* block = static_cast<char*>(p) - kHeader;
    current -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, size_t) noexcept {
    Free(p);
}

int main(int argc, char** argv) {
    const size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000000;
    ScanRoot root;
    root.prefix = "D:\\Data\\";
    root.id = 1;
    root.scanStart = 41000;
    FoundList scan;
    const size_t before = current;
    auto start = std::chrono::steady_clock::now();
    const bool flat = argc > 2 && std::string(argv[2]) == "flat";
    const size_t textBytes = FillGenerated(scan, root, rows, kLocaleOrder, flat);
    const double fill = Seconds(start);
    const size_t filledPeak = peak - before;
    std::printf("rows %zu directories %zu\n", scan.FileCount(), scan.DirectoryCount());
    std::printf("fill and order s %.2f us/row %.2f\n", fill, fill * 1e6 / rows);
    std::printf("peak bytes/row %.1f beyond text %.1f (text %.1f bytes/row)\n",
                double(filledPeak) / rows, double(filledPeak - textBytes) / rows,
                double(textBytes) / rows);
    std::printf("held bytes/row %.1f\n", double(current - before) / rows);

    RegionalFormats formats;
    formats.shortDate = "dd/MM/yyyy";
    formats.longTime = "HH:mm:ss";
    const size_t held = current;
    peak = current;
    size_t csvBytes = 0;
    start = std::chrono::steady_clock::now();
    WriteCsvText(scan, formats,
                 [&csvBytes](const std::string& piece) { csvBytes += piece.size(); });
    std::printf("csv streamed s %.2f bytes %zu extra memory %zu\n", Seconds(start), csvBytes,
                peak - held);

    std::mt19937 random(3);
    std::string text;
    const int asked = 100000;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < asked; ++i) {
        const size_t row = random() % scan.Count();
        for (int column = 0; column < 5; ++column)
            scan.Text(row, column, formats, text);
    }
    std::printf("random row texts us/row %.2f\n", Seconds(start) * 1e6 / asked);
    std::printf("largest allocation bytes %zu\n", largest);
    return 0;
}
