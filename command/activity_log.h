// The activity log: lines shown live in the log view and written to its file as they come,
// so that a run ended at any moment (a time limit, a forced end, a crash) leaves a log of
// what it did up to then.
#pragma once
#include <string>

#include "fs/replacement_file.h"

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
    // Appends the line and CR LF; the caller's text is the whole line. Once the file has
    // started, the line reaches it at once (the system's cache, which outlives the process).
    void Add(const std::string& line);
    // Empties the log, and its file once started.
    void Clear();
    // The log as the file holds it, every line followed by CR LF: all of it until the file
    // has started, then its newest lines (at most kMemoryTail characters).
    const std::string& Text() const { return text_; }
    static constexpr size_t kMemoryTail = 1 << 20;
    bool EndsWithLine(const std::string& line) const;

    // From now on the log is written to `path` as it grows: a new file of the log's own
    // takes the place of the old one, holding the lines so far. Throws AppError "Cannot
    // create file ...".
    void StartFile(const std::string& path);
    // Every line is in the file at `path` (started here where it has not been) and on disk:
    // the end of a phase or of the run. Throws AppError when a line could not be written.
    void WriteFile(const std::string& path);
    // The same without throwing, for endings that have nothing left to report to.
    void FlushQuietly();
    // The open file, for telling it apart from the files a scan finds; null before it starts.
    HANDLE FileHandle() const { return file_.IsOpen() ? file_.Handle() : nullptr; }

  private:
    // Lines reach the file whole or not at all: a write that fails (a disk full for a moment)
    // is cut back to the end of the last whole line, and its lines wait to be written again
    // with the next line and at the end.
    void WriteToFile(const std::string& text);
    FsResult WritePending();
    FsResult CutBackToWholeLines();

    std::string text_;
    LogView* view_ = nullptr;
    std::string path_;
    ReplacementFile file_;
    std::string pending_;   // lines not yet wholly in the file
    long long written_ = 0; // where the last whole line in the file ends
    FsResult failure_;      // the last write's outcome
};
