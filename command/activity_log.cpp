#include "command/activity_log.h"

#include "command/errors.h"
#include "command/text_file.h"

void ActivityLog::Add(const std::string& line) {
    std::string added = line + "\r\n";
    text_ += added;
    WriteToFile(added);
    // Once the file holds every line, memory keeps only the newest ones.
    if (file_.IsOpen() && pending_.empty() && text_.size() > kMemoryTail) {
        const size_t lineEnd = text_.find("\r\n", text_.size() - kMemoryTail / 2);
        text_.erase(0, lineEnd == std::string::npos ? text_.size() : lineEnd + 2);
    }
    if (view_)
        view_->AppendText(added);
}

void ActivityLog::Clear() {
    text_.clear();
    pending_.clear();
    if (file_.IsOpen()) {
        written_ = 0;
        failure_ = CutBackToWholeLines(); // a failure here is cut again after the next write
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
    if (!file_.IsOpen())
        return;
    pending_ += text;
    (void)WritePending();
}

FsResult ActivityLog::WritePending() {
    // After a failure, the next try starts where the last whole line ends.
    if (!failure_.Ok() && !(failure_ = CutBackToWholeLines()).Ok())
        return failure_;
    if (pending_.empty())
        return failure_;
    failure_ = file_.Append(pending_.data(), pending_.size());
    if (!failure_.Ok()) {
        // Tried again before the next write; the write's failure is the one to report.
        (void)CutBackToWholeLines();
        return failure_;
    }
    written_ += static_cast<long long>(pending_.size());
    pending_.clear();
    return failure_;
}

FsResult ActivityLog::CutBackToWholeLines() {
    LARGE_INTEGER end{};
    end.QuadPart = written_;
    return SetFilePointerEx(file_.Handle(), end, nullptr, FILE_BEGIN) &&
                   SetEndOfFile(file_.Handle())
               ? FsResult::Success()
               : FsResult(GetLastError(), FsStep::Write);
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
    written_ = 0;
    pending_.clear();
    WriteToFile(text_);
}

void ActivityLog::WriteFile(const std::string& path) {
    if (!file_.IsOpen() || path != path_)
        StartFile(path);
    // The last try for the lines still waiting: only its failure is reported.
    FsResult outcome = WritePending();
    if (outcome.Ok())
        outcome = file_.Flush();
    if (!outcome.Ok())
        throw AppError(UnableToWriteText(path_, outcome.Code()));
}

void ActivityLog::FlushQuietly() {
    if (file_.IsOpen() && WritePending().Ok())
        (void)file_.Flush();
}
