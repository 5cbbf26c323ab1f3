#include "app/activity_log.h"

#include "app/text_file.h"

void ActivityLog::Add(const std::string& line) {
    std::string added = line + "\r\n";
    text_ += added;
    if (view_)
        view_->AppendText(added);
}

void ActivityLog::Clear() {
    text_.clear();
    if (view_)
        view_->ClearText();
}

void ActivityLog::WriteFile(const std::string& path) const {
    WriteWholeFile(path, text_);
}
