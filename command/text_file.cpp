#include "command/text_file.h"

#include "command/errors.h"
#include "fs/replacement_file.h"

std::string UnableToWriteText(const std::string& path, unsigned long code) {
    return "Unable to write to " + path + ". " + ReasonText(code);
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    WriteProducedFile(path, [&text](const TextSink& sink) { sink(text); });
}

void WriteProducedFile(const std::string& path,
                       const std::function<void(const TextSink&)>& produce) {
    ReplacementFile file;
    const FsResult created = file.Create(path);
    if (!created.Ok())
        throw CannotCreateFile(path, created.Code());
    const auto failed = [&path](const FsResult& written) {
        if (!written.Ok())
            throw AppError(UnableToWriteText(path, written.Code()));
    };
    produce([&](const std::string& piece) { failed(file.Append(piece.data(), piece.size())); });
    failed(file.Flush());
    const FsResult placed = file.PutInPlace();
    if (!placed.Ok())
        throw CannotCreateFile(path, placed.Code());
}
