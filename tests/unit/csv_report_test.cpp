// The text of the CSV file.
#include "report/csv_report.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvText, QuotesThePathAndEveryFieldThatHoldsACommaOrAQuote) {
    FoundFileList list(FoundFileList::ByteOrderKey);
    list.AddRow("C:\\My Files\\a,b.txt", "5/3/2008", "5/3/2008 2:07:09 PM", "6/3/2008", "30");
    list.AddRow("C:\\Empty\\", "1,2", "x", "Wed, \"9\" Dec", "400");
    EXPECT_EQ(CsvText(list),
              "File,Created,Modified,Accessed,Age (Days)\r\n"
              "\"C:\\Empty\\\",\"1,2\",x,\"Wed, \"\"9\"\" Dec\",400\r\n"
              "\"C:\\My Files\\a,b.txt\",5/3/2008,5/3/2008 2:07:09 PM,6/3/2008,30\r\n");
    list.Clear();
    EXPECT_EQ(CsvText(list), "File,Created,Modified,Accessed,Age (Days)\r\n");
}

} // namespace
