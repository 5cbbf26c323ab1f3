#include "command/activity_log.h"

#include "command/errors.h"
#include "command/text_file.h"

void ActivityLog::Add(const std::string& line) {
    std::string added = line + "\r\n";
    text_ += added;
    WriteToFile(added);
    // Once the file holds every line, memory keeps only the newest ones.
    if (file_.IsOpen() && failure_.Ok() && text_.size() > kMemoryTail) {
        const size_t lineEnd = text_.find("\r\n", text_.size() - kMemoryTail / 2);
        text_.erase(0, lineEnd == std::string::npos ? text_.size() : lineEnd + 2);
    }
    if (view_)
        view_->AppendText(added);
}

void ActivityLog::Clear() {
    text_.clear();
    if (file_.IsOpen()) {
        LARGE_INTEGER start{};
        if ((!SetFilePointerEx(file_.Handle(), start, nullptr, FILE_BEGIN) ||
             !SetEndOfFile(file_.Handle())) &&
            failure_.Ok())
            failure_ = GetLastError();
    }
    if (view_)
        view_->ClearText();
}

bool ActivityLog::EndsWithLine(const std::string& line) const {
    const std::string ending = line + "\r\n";
    return text_.size() >= ending.size() &&
           (text_.size() == ending.size() || text_[text_.size() - ending.size() - 1] == '\n') &&
           text_.compare(text_.size() - ending.size(), ending.size(), ending) == 0;
}

void ActivityLog::WriteToFile(const std::string& text) {
    if (file_.IsOpen() && failure_.Ok())
        failure_ = file_.Append(text.data(), text.size());
}

void ActivityLog::StartFile(const std::string& path) {
    ReplacementFile file;
    FsResult outcome = file.Create(path);
    if (outcome.Ok())
        outcome = file.PutInPlace();
    if (!outcome.Ok())
        throw CannotCreateFile(path, outcome.Code());
    file_ = std::move(file);
    path_ = path;
    failure_ = FsResult::Success();
    WriteToFile(text_);
}

void ActivityLog::WriteFile(const std::string& path) {
    if (!file_.IsOpen() || path != path_)
        StartFile(path);
    if (failure_.Ok())
        failure_ = file_.Flush();
    if (!failure_.Ok())
        throw AppError(UnableToWriteText(path_, failure_.Code()));
}

void ActivityLog::FlushQuietly() {
    if (file_.IsOpen())
        (void)file_.Flush();
}
