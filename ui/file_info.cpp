#include "ui/file_info.h"

#include "app/handles.h"
#include "app/program_location.h"

#include <vector>
#include <windows.h>

namespace {

// Exists: a search finds a non-directory whose local last-write time fits a DOS date.
bool Exists(const std::string& name) {
    DirectoryListing found(name.c_str());
    if (!found.HasEntry() || (found.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    FILETIME local;
    WORD date = 0, time = 0;
    return FileTimeToLocalFileTime(&found.Entry().ftLastWriteTime, &local) &&
           FileTimeToDosDateTime(&local, &date, &time);
}

size_t NamePartStart(const std::string& name) {
    const size_t cut = name.find_last_of("\\:");
    return cut == std::string::npos ? 0 : cut + 1;
}

TVersion ReadVersion(const std::string& name) {
    TVersion v;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(name.c_str(), &ignored);
    if (size != 0) {
        std::vector<char> block(size);
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (GetFileVersionInfoA(name.c_str(), 0, size, block.data()) &&
            VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
            fixed && length >= sizeof(VS_FIXEDFILEINFO)) {
            v.Major = HIWORD(fixed->dwFileVersionMS);
            v.Minor = LOWORD(fixed->dwFileVersionMS);
            v.Release = HIWORD(fixed->dwFileVersionLS);
            v.Build = LOWORD(fixed->dwFileVersionLS);
        }
    }
    v.Text = std::to_string(v.Major) + "." + std::to_string(v.Minor) + " Release " +
             std::to_string(v.Release) + " Build " + std::to_string(v.Build);
    return v;
}

std::string DriveOf(const std::string& name) {
    if (name.size() >= 2 && name[1] == ':')
        return name.substr(0, 1) + ":\\";
    if (name.compare(0, 2, "\\\\") == 0) {
        const size_t slash = name.find('\\', 2);
        return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    }
    return std::string();
}

} // namespace

void TFileInfo::SetFilename(const std::string& filename) {
    filename_ = filename;
    const size_t namePart = NamePartStart(filename);

    version_ = Exists(filename) ? ReadVersion(filename) : TVersion();
    short_ = Exists(filename) ? filename.substr(namePart) : std::string();
    extension_.clear();
    if (Exists(filename)) {
        const size_t dot = filename.find_last_of('.');
        if (dot != std::string::npos && dot >= namePart)
            extension_ = filename.substr(dot);
    }
    withoutExtension_ =
        Exists(filename) ? short_.substr(0, short_.size() - extension_.size()) : std::string();

    DirectoryListing search(filename.c_str());
    size_ = search.HasEntry() ? static_cast<int32_t>(search.Entry().nFileSizeLow) : 0;

    path_.clear();
    if (Exists(filename)) {
        path_ = filename.substr(0, namePart);
        if (path_.empty())
            path_ = ProgramDirectory();
        else if (path_.back() != '\\')
            path_ += '\\';
    }
    drive_ = Exists(filename) ? DriveOf(filename) : std::string();

    timeStamp_ = TTimeStamp();
    dos83_.clear();
    if (!search.HasEntry()) {
        MessageBeep(MB_OK);
        return;
    }
    const WIN32_FIND_DATAA& entry = search.Entry();
    timeStamp_.Creation = FileTimeToLocalDateTime(entry.ftCreationTime);
    timeStamp_.LastWrite = FileTimeToLocalDateTime(entry.ftLastWriteTime);
    timeStamp_.LastAccess = FileTimeToLocalDateTime(entry.ftLastAccessTime);
    dos83_ = entry.cAlternateFileName;
    if (dos83_.empty()) {
        dos83_ = filename.substr(namePart);
        for (char& c : dos83_)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
    }
}
