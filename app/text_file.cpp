#include "app/text_file.h"

#include "app/errors.h"
#include "fs/unique_handle.h"

void WriteWholeFile(const std::string& path, const std::string& text) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw CannotCreateFile(path, GetLastError());
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file.get(), data, chunk, &written, nullptr) || written == 0) {
            DWORD code = GetLastError();
            throw AppError("Unable to write to " + path + ". " + ReasonText(code));
        }
        data += written;
        left -= written;
    }
}
