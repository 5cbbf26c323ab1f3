#include "report/csv_report.h"

#include "app/text_file.h"

std::string CsvText(const FoundFileList& list) {
    std::string text;
    for (int column = 0; column < 5; ++column) {
        if (column > 0)
            text += ',';
        text += FoundFileList::kCaptions[column];
    }
    text += "\r\n";
    for (size_t row = 0; row < list.Count(); ++row) {
        const char* cell = list.FileText(row);
        text += '"';
        text += cell;
        text += '"';
        for (int column = 1; column < 5; ++column) {
            cell += std::char_traits<char>::length(cell) + 1;
            text += ',';
            text += cell;
        }
        text += "\r\n";
    }
    return text;
}

void WriteToCSVFile(CommandHost& host) {
    const std::string path = host.State().programDirectory + kCsvFileName;
    WriteWholeFile(path, CsvText(host.Found()));
    if (host.State().debug)
        host.AddLog("Written to CSV file " + path);
}
