#include "app/text_file.h"

#include "app/errors.h"
#include "fs/replacement_file.h"

std::string UnableToWriteText(const std::string& path, unsigned long code) {
    return "Unable to write to " + path + ". " + ReasonText(code);
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    ReplacementFile file;
    const FsResult created = file.Create(path);
    if (!created.Ok())
        throw CannotCreateFile(path, created.Code());
    FsResult written = file.Append(text.data(), text.size());
    if (written.Ok())
        written = file.Flush();
    if (!written.Ok())
        throw AppError(UnableToWriteText(path, written.Code()));
    const FsResult placed = file.PutInPlace();
    if (!placed.Ok())
        throw CannotCreateFile(path, placed.Code());
}
