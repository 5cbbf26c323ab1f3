#include "report/csv_report.h"

#include "app/text_file.h"

#include <cstring>

namespace {

// A field as the file holds it. The file column is always quoted; another field is quoted
// only where it holds a comma or a double quote (a regional date such as "Wed, 9 Dec 2026"),
// so every row keeps the header's five fields. Quotes inside are doubled.
void AppendField(std::string& text, const char* cell, bool alwaysQuoted) {
    const bool quoted = alwaysQuoted || std::strpbrk(cell, ",\"") != nullptr;
    if (quoted)
        text += '"';
    for (const char* c = cell; *c; ++c) {
        if (*c == '"')
            text += '"';
        text += *c;
    }
    if (quoted)
        text += '"';
}

} // namespace

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
        AppendField(text, cell, true);
        for (int column = 1; column < 5; ++column) {
            cell += std::char_traits<char>::length(cell) + 1;
            text += ',';
            AppendField(text, cell, false);
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
