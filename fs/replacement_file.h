// A file of the program's own (its log, its CSV file, its settings) is never written where
// it stands: a link or a second name there would lead the write to any file a user below the
// root chose. It is written as a new plain file beside the old one and then takes the old
// one's place by rename, which replaces a link, never its target; a run ended before the
// rename leaves the old file whole.
#pragma once
#include <string>

#include "fs/nt_files.h"
#include "fs/unique_handle.h"

class ReplacementFile {
  public:
    ReplacementFile() = default;
    ReplacementFile(ReplacementFile&&) = default;
    ReplacementFile& operator=(ReplacementFile&&) = default;
    // A new file not yet put in place is deleted.
    ~ReplacementFile();

    // Creates the new file beside the full path `path`, under a name no other file has.
    FsResult Create(const std::string& path);
    FsResult Append(const char* data, size_t size);
    // What was appended reaches the disk.
    FsResult Flush();
    // Takes the place of the path given to Create, replacing whatever is there.
    FsResult PutInPlace();

    bool IsOpen() const { return file_.valid(); }
    HANDLE Handle() const { return file_.get(); }

  private:
    void Discard();

    std::wstring target_;
    std::wstring temporary_;
    FileHandle file_;
    bool inPlace_ = false;
};

// Removes the program's own file at `path`, whatever the name holds now: a new empty file of
// the program's own takes its place by rename and is deleted through its handle, so a link
// there goes as a link and its target stays (some systems delete a link's target when it
// is deleted by name). ERROR_FILE_NOT_FOUND is no failure.
FsResult RemoveOwnFile(const std::string& path);
