// The activity log: lines shown live in the log view and written whole to a file.
#pragma once
#include <string>

// Where the log's lines are shown (the main window's log view).
class LogView {
  public:
    virtual ~LogView() = default;
    virtual void AppendText(const std::string& text) = 0;
    virtual void ClearText() = 0;
};

class ActivityLog {
  public:
    void AttachView(LogView* view) { view_ = view; }
    // Appends the line and CR LF; the caller's text is the whole line.
    void Add(const std::string& line);
    void Clear();
    // The log as the file holds it: every line followed by CR LF.
    const std::string& Text() const { return text_; }
    // Creates or truncates the file and writes the whole log into it.
    void WriteFile(const std::string& path) const;

  private:
    std::string text_;
    LogView* view_ = nullptr;
};
