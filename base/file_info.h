// TFileInfo: a file's version number, name parts, size, time stamps and short name, all
// read again whenever Filename is assigned.
#pragma once
#include <cstdint>
#include <string>

#include "base/date_time.h"

struct TVersion {
    uint16_t Major = 0, Minor = 0, Release = 0, Build = 0;
    std::string Text; // "1.0 Release 4 Build 21"
};

struct TTimeStamp {
    DateTime Creation = 0, LastWrite = 0, LastAccess = 0;
};

class TFileInfo {
  public:
    // `beep` sounds where a file searched for is missing: the window floor gives the system's
    // default beep, which this floor cannot make.
    explicit TFileInfo(void (*beep)() = nullptr) : beep_(beep) {}
    void SetFilename(const std::string& filename);

    const std::string& Filename() const { return filename_; }
    const TVersion& Version() const { return version_; }
    const std::string& Short() const { return short_; }
    const std::string& WithoutExtension() const { return withoutExtension_; }
    const std::string& Extension() const { return extension_; }
    int64_t Size() const { return size_; }
    const std::string& Path() const { return path_; }
    const std::string& Drive() const { return drive_; }
    const TTimeStamp& TimeStamp() const { return timeStamp_; }
    const std::string& DOS83() const { return dos83_; }

  private:
    void (*beep_)();
    std::string filename_;
    TVersion version_;
    std::string short_, withoutExtension_, extension_;
    int64_t size_ = 0;
    std::string path_, drive_;
    TTimeStamp timeStamp_;
    std::string dos83_;
};
