#include "command/errors.h"

#include <new>
#include <windows.h>

std::string InOutErrorText(unsigned long code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

AppError InOutError(unsigned long code) {
    return AppError(InOutErrorText(code));
}

std::string ErrorReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

std::string TrimReason(const std::string& message) {
    size_t end = message.size();
    while (end > 0) {
        unsigned char c = static_cast<unsigned char>(message[end - 1]);
        if (c <= ' ' || c == '.')
            --end;
        else
            break;
    }
    return message.substr(0, end);
}

std::string ReasonText(unsigned long code) {
    char buffer[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  nullptr, code, 0, buffer, sizeof buffer, nullptr);
    return TrimReason(std::string(buffer, length));
}

AppError CannotCreateFile(const std::string& path, unsigned long code) {
    return AppError("Cannot create file \"" + path + "\". " + ReasonText(code));
}

AppError CannotOpenDirectory(const std::string& path, unsigned long code) {
    return AppError("Cannot open directory \"" + path + "\". " + ReasonText(code));
}

Outcome RunCaught(ActionRef action, std::string& message) noexcept {
    const char* text = nullptr;
    try {
        action();
        return Outcome::Completed;
    } catch (const SilentAbort&) {
        return Outcome::Aborted;
    } catch (const std::bad_alloc&) {
        text = "Out of memory";
    } catch (const std::exception& e) {
        try {
            message = e.what();
            return Outcome::Failed;
        } catch (...) {
            text = "Out of memory";
        }
    } catch (...) {
        text = "Unexpected error";
    }
    message.clear();
    message.append(text); // short enough to need no block of its own
    return Outcome::Failed;
}
