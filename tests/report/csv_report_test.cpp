// The text of the CSV file.
#include "report/csv_report.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "support/synthetic_scan.h"

namespace {

TEST(CsvText, QuotesThePathAndEveryFieldThatHoldsACommaOrAQuote) {
    ScanRoot root;
    root.prefix = "C:\\";
    root.scanStart = 39600;
    FoundList list;
    FillScan(list, root,
             {{"My \"Files\"\\a,b.txt", 39570.5, 39571.25, 39572}, {"Empty\\x", 1, 1, 1}},
             kByteOrder);
    RegionalFormats formats;
    formats.shortDate = "d,M";
    formats.longTime = "HH:mm";
    list.AddDirectoryRow(list.FileRow(0).directory, 39000.5, 39000, 39000);
    list.PlaceDirectoryRows(ByteOrderKey);
    EXPECT_EQ(CsvText(list, formats),
              "File,Created,Modified,Accessed,Age (Days)\r\n"
              "\"C:\\Empty\\\",\"10,10 12:00\",\"10,10\",\"10,10\",599\r\n"
              "\"C:\\Empty\\x\",\"31,12\",\"31,12\",\"31,12\",39599\r\n"
              "\"C:\\My \"\"Files\"\"\\a,b.txt\",\"2,5 12:00\",\"3,5 06:00\",\"4,5\",29\r\n");
    formats.shortDate = "dd/MM/yyyy";
    EXPECT_NE(CsvText(list, formats).find("\r\n\"C:\\Empty\\x\",31/12/1899,31/12/1899,"),
              std::string::npos)
        << "a field without a comma or quote is not quoted";
    list.Clear();
    EXPECT_EQ(CsvText(list, formats), "File,Created,Modified,Accessed,Age (Days)\r\n");
}

TEST(CsvText, ComesInPiecesThatMakeTheWholeText) {
    std::vector<SyntheticFile> files;
    for (int i = 0; i < 5000; ++i)
        files.push_back({"dir" + std::to_string(i % 7) + "\\file" + std::to_string(i), 1, 2, 3});
    ScanRoot root;
    root.prefix = "D:\\";
    FoundList list;
    FillScan(list, root, files, kByteOrder);
    const RegionalFormats formats;
    std::vector<size_t> pieces;
    std::string joined;
    WriteCsvText(list, formats, [&](const std::string& piece) {
        pieces.push_back(piece.size());
        joined += piece;
    });
    EXPECT_GT(pieces.size(), 2u);
    EXPECT_LE(*std::max_element(pieces.begin(), pieces.end()), size_t(70 * 1024));
    EXPECT_EQ(joined, CsvText(list, formats));
    EXPECT_EQ(std::count(joined.begin(), joined.end(), '\n'), 5001);
}

} // namespace
