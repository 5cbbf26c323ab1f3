#include "report/csv_report.h"

namespace {

const size_t kPieceBytes = 64 * 1024;

// A field as the file holds it. The file column is always quoted; another field is quoted
// only where it holds a comma or a double quote (a regional date such as "Wed, 9 Dec 2026"),
// so every row keeps the header's five fields. Quotes inside are doubled.
void AppendField(std::string& text, const std::string& cell, bool alwaysQuoted) {
    const bool quoted = alwaysQuoted || cell.find_first_of(",\"") != std::string::npos;
    if (quoted)
        text += '"';
    for (char c : cell) {
        if (c == '"')
            text += '"';
        text += c;
    }
    if (quoted)
        text += '"';
}

} // namespace

void WriteCsvText(const FoundList& found, const RegionalFormats& formats, const TextSink& sink) {
    std::string piece;
    piece.reserve(kPieceBytes + 4096);
    for (int column = 0; column < FoundList::kColumnCount; ++column) {
        if (column > 0)
            piece += ',';
        piece += FoundList::kColumns[column].caption;
    }
    piece += "\r\n";
    std::string cell;
    for (size_t row = 0; row < found.Count(); ++row) {
        for (int column = 0; column < FoundList::kColumnCount; ++column) {
            if (column > 0)
                piece += ',';
            found.Text(row, column, formats, cell);
            AppendField(piece, cell, column == FoundList::File);
        }
        piece += "\r\n";
        if (piece.size() >= kPieceBytes) {
            sink(piece);
            piece.clear();
        }
    }
    sink(piece);
}

std::string CsvText(const FoundList& found, const RegionalFormats& formats) {
    std::string text;
    WriteCsvText(found, formats, [&text](const std::string& piece) { text += piece; });
    return text;
}

void WriteToCSVFile(CommandHost& host) {
    InPhase(host, Phase::CsvFile, [&] {
        const std::string path = host.State().settings.programDirectory + kCsvFileName;
        // A request to stop is heard between pieces; the file then stays as it was.
        WriteProducedFile(path, [&host](const TextSink& sink) {
            WriteCsvText(host.Found(), host.Formats(), [&](const std::string& piece) {
                sink(piece);
                HearStop(host);
            });
        });
        if (host.State().settings.debug)
            host.AddLog("Written to CSV file " + path);
    });
}
