#include "base/file_info.h"

#include "fs/directory_listing.h"
#include "fs/path_text.h"
#include "base/program_location.h"

#include <vector>
#include <windows.h>

namespace {

size_t NamePartStart(const std::string& name) {
    const size_t cut = LastDelimiter(name);
    if (cut != std::string::npos)
        return cut + 1;
    return name.size() >= 2 && name[1] == ':' && NextCharacter(name, 0) == 1 ? 2 : 0;
}

// The listing found the file named, not another one that a wildcard or the path layer's
// rewriting of a trailing dot or blank matched.
bool IsNamedEntry(const std::string& name, const DirectoryListing& found) {
    std::wstring part;
    if (!found.HasEntry() || !ToExactWide(name.substr(NamePartStart(name)), part))
        return false;
    const WIN32_FIND_DATAW& entry = found.Entry();
    return (IsPlainName(entry.cFileName) && lstrcmpiW(part.c_str(), entry.cFileName) == 0) ||
           (entry.cAlternateFileName[0] != L'\0' &&
            lstrcmpiW(part.c_str(), entry.cAlternateFileName) == 0);
}

// Exists: a search finds a non-directory whose local last-write time fits a DOS date.
bool Exists(const std::string& name) {
    DirectoryListing found(name);
    if (!IsNamedEntry(name, found) || (found.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    FILETIME local;
    WORD date = 0, time = 0;
    return FileTimeToLocalFileTime(&found.Entry().ftLastWriteTime, &local) &&
           FileTimeToDosDateTime(&local, &date, &time);
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
        const size_t slash = NextDelimiter(name, 2);
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

    const DirectoryListing search(filename);
    const bool listed = IsNamedEntry(filename, search);
    // Both halves: a file of 4 GiB or more is not a small one.
    size_ = listed
                ? static_cast<int64_t>((static_cast<uint64_t>(search.Entry().nFileSizeHigh) << 32) |
                                       search.Entry().nFileSizeLow)
                : 0;

    path_.clear();
    if (Exists(filename)) {
        path_ = filename.substr(0, namePart);
        path_ = path_.empty() ? ProgramDirectory() : WithTrailingBackslash(path_);
    }
    drive_ = Exists(filename) ? DriveOf(filename) : std::string();

    timeStamp_ = TTimeStamp();
    dos83_.clear();
    if (!listed) {
        if (beep_)
            beep_();
        return;
    }
    const WIN32_FIND_DATAW& entry = search.Entry();
    timeStamp_.Creation = FileTimeToLocalDateTime(entry.ftCreationTime);
    timeStamp_.LastWrite = FileTimeToLocalDateTime(entry.ftLastWriteTime);
    timeStamp_.LastAccess = FileTimeToLocalDateTime(entry.ftLastAccessTime);
    if (!ToExactNarrow(entry.cAlternateFileName, dos83_) || dos83_.empty()) {
        dos83_ = filename.substr(namePart);
        for (char& c : dos83_)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
    }
}
