#include "fs/nt_files.h"

#include "fs/system_redirection.h"

#include <cstring>
#include <vector>

#include <winternl.h>

#include "fs/exact_names.h"
#include "fs/nt_calls.h"

namespace {

// NtCreateFile options, and the status values this file tells apart.
const ULONG kDirectoryFile = 0x1, kNonDirectoryFile = 0x40, kSynchronousIo = 0x20,
            kCompleteIfOplocked = 0x100, kOpenReparsePoint = 0x200000, kOpenNoRecall = 0x400000;
const NTSTATUS kOplockBreakInProgress = 0x00000108;
const NTSTATUS kObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034);
const NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056);
const NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002);
const NTSTATUS kInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
const NTSTATUS kInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
const NTSTATUS kNotSupported = static_cast<NTSTATUS>(0xC00000BB);
const NTSTATUS kInvalidDeviceRequest = static_cast<NTSTATUS>(0xC0000010);

// Information classes of NtQueryInformationFile and NtSetInformationFile.
const auto kFileStandardInformation = static_cast<FILE_INFORMATION_CLASS>(5);
const auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
const auto kFileAttributeTagInformation = static_cast<FILE_INFORMATION_CLASS>(35);
const auto kFileDispositionInformation = static_cast<FILE_INFORMATION_CLASS>(13);
const auto kFileDispositionInformationEx = static_cast<FILE_INFORMATION_CLASS>(64);
const ULONG kDispositionDelete = 0x1, kDispositionPosix = 0x2, kDispositionIgnoreReadOnly = 0x10;

// The one place where NT status values become Win32 error codes.
DWORD CodeOf(NTSTATUS status) {
    if (status >= 0)
        return 0;
    if (status == kObjectNameNotFound)
        return ERROR_FILE_NOT_FOUND;
    if (status == kDeletePending)
        return ERROR_DELETE_PENDING;
    if (status == kNotImplemented || status == kInvalidInfoClass || status == kNotSupported)
        return ERROR_NOT_SUPPORTED;
    return RtlNtStatusToDosError(status);
}

FsResult ErrorOf(NTSTATUS status, FsStep step) {
    return FsResult(CodeOf(status), step);
}

} // namespace

const char* StepText(FsStep step) {
    switch (step) {
    case FsStep::None:
        return "none";
    case FsStep::Name:
        return "converting the name";
    case FsStep::Open:
        return "opening";
    case FsStep::Check:
        return "checking it is the listed item";
    case FsStep::Query:
        return "reading its information";
    case FsStep::Change:
        return "changing it";
    case FsStep::List:
        return "listing";
    case FsStep::CurrentDirectory:
        return "the current directory";
    case FsStep::Read:
        return "reading";
    case FsStep::Write:
        return "writing";
    }
    return "unknown";
}

namespace {

template <typename Info>
FsResult QueryInfo(HANDLE handle, Info& info, FILE_INFORMATION_CLASS kind) {
    IO_STATUS_BLOCK io{};
    return ErrorOf(SystemCalls().queryInformation(handle, &io, &info, sizeof info, kind),
                   FsStep::Query);
}

template <typename Info> FsResult SetInfo(HANDLE handle, Info& info, FILE_INFORMATION_CLASS kind) {
    IO_STATUS_BLOCK io{};
    return ErrorOf(SystemCalls().setInformation(handle, &io, &info, sizeof info, kind),
                   FsStep::Change);
}

FILETIME ToFileTime(const LARGE_INTEGER& value) {
    FILETIME t;
    t.dwLowDateTime = value.LowPart;
    t.dwHighDateTime = static_cast<DWORD>(value.HighPart);
    return t;
}

// What both listing classes hold: a reparse point's tag stands where the size of extended
// attributes would.
template <typename Info> ListedEntry CommonEntry(const Info& info) {
    ListedEntry entry;
    entry.name.assign(info.FileName, info.FileNameLength / sizeof(wchar_t));
    entry.attributes = info.FileAttributes;
    entry.reparseTag = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? info.EaSize : 0;
    entry.created = ToFileTime(info.CreationTime);
    entry.written = ToFileTime(info.LastWriteTime);
    entry.accessed = ToFileTime(info.LastAccessTime);
    return entry;
}

ListedEntry ToEntry(const FILE_ID_BOTH_DIR_INFO& info) {
    ListedEntry entry = CommonEntry(info);
    entry.shortName.assign(info.ShortName,
                           static_cast<size_t>(info.ShortNameLength) / sizeof(wchar_t));
    entry.id = static_cast<FileId>(info.FileId.QuadPart);
    return entry;
}

// The wide-id class (FILE_ID_EXTD_DIR_INFO, which this build's headers keep for Windows 8):
// the tag has a field of its own, and no short name (ReFS keeps none).
struct WideDirectoryInfo {
    ULONG NextEntryOffset;
    ULONG FileIndex;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime, EndOfFile,
        AllocationSize;
    ULONG FileAttributes, FileNameLength, EaSize, ReparsePointTag;
    unsigned char FileId[16];
    WCHAR FileName[1];
};
const auto kWideListing = static_cast<FILE_INFO_BY_HANDLE_CLASS>(19);
const auto kWideListingRestart = static_cast<FILE_INFO_BY_HANDLE_CLASS>(20);

ListedEntry ToEntry(const WideDirectoryInfo& info) {
    ListedEntry entry = CommonEntry(info);
    entry.reparseTag =
        (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? info.ReparsePointTag : 0;
    entry.id = FoldWideId(info.FileId);
    return entry;
}

// Whether the run's phase in progress reads wide ids (see WideIdsInForce).
bool wideIdsInForce = false;

// The plain class has no identity and no short name.
ListedEntry ToEntry(const FILE_FULL_DIR_INFO& info) {
    return CommonEntry(info);
}

// Lists with one class; `delivered` tells whether any entry was handed over.
template <typename Info>
FsResult ListWith(HANDLE directory, std::vector<char>& buffer, FILE_INFO_BY_HANDLE_CLASS restart,
                  FILE_INFO_BY_HANDLE_CLASS next, const std::function<bool(ListedEntry&&)>& take,
                  bool& delivered) {
    FILE_INFO_BY_HANDLE_CLASS kind = restart;
    while (SystemCalls().getInformation(directory, kind, buffer.data(),
                                        static_cast<DWORD>(buffer.size()))) {
        kind = next;
        for (size_t at = 0;;) {
            const auto& info = *reinterpret_cast<const Info*>(&buffer[at]);
            delivered = true;
            if (!take(ToEntry(info)))
                return FsResult::Success();
            if (info.NextEntryOffset == 0)
                break;
            at += info.NextEntryOffset;
        }
    }
    const DWORD code = GetLastError();
    // No more files; or, on the first query, nothing at all (STATUS_NO_SUCH_FILE), which some
    // file systems answer for a directory without even "." and "..".
    if (code == ERROR_NO_MORE_FILES || (kind == restart && code == ERROR_FILE_NOT_FOUND))
        return FsResult::Success();
    return FsResult(code, FsStep::List);
}

// The answers by which a file system refuses a listing class it lacks.
bool RefusesTheClass(DWORD code) {
    return code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED ||
           code == ERROR_INVALID_FUNCTION || code == ERROR_INVALID_LEVEL;
}

// Room for at least three entries of the longest name.
const size_t kFirstEntriesBytes = 2 * 1024;

} // namespace

std::string ListedEntry::Shown() const {
    return ShownName(name, shortName);
}

FsResult OpenInDirectory(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ItemKind kind,
                         FileHandle& opened) {
    std::wstring text = name;
    UNICODE_STRING objectName;
    objectName.Buffer = &text[0];
    objectName.Length = objectName.MaximumLength =
        static_cast<USHORT>(text.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    const ULONG kindOption = kind == ItemKind::kFile        ? kNonDirectoryFile
                             : kind == ItemKind::kDirectory ? kDirectoryFile
                                                            : 0;
    IO_STATUS_BLOCK io{};
    HANDLE raw = INVALID_HANDLE_VALUE;
    const RedirectionOff walkedAsTyped; // below System32 too, the item named is the one opened
    const NTSTATUS status = SystemCalls().createFile(
        &raw, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, kShareAll, FILE_OPEN,
        kindOption | kOpenReparsePoint | kOpenNoRecall | kSynchronousIo | kCompleteIfOplocked,
        nullptr, 0);
    if (status < 0)
        return ErrorOf(status, FsStep::Open);
    opened.reset(raw);
    // Granted while the holder of an oplock is asked to let go: it is in use.
    if (status == kOplockBreakInProgress) {
        opened.reset();
        return FsResult(kInUse, FsStep::Check);
    }
    return FsResult::Success();
}

FsResult ForEachEntry(HANDLE directory, size_t bufferBytes,
                      const std::function<bool(ListedEntry&&)>& take) {
    std::vector<char> buffer(bufferBytes);
    bool delivered = false;
    if (wideIdsInForce) {
        const FsResult wide = ListWith<WideDirectoryInfo>(directory, buffer, kWideListingRestart,
                                                          kWideListing, take, delivered);
        // Without it, the entries come without ids rather than with ones that need not be unique.
        if (delivered || !RefusesTheClass(wide.Code()))
            return wide;
        return ListWith<FILE_FULL_DIR_INFO>(directory, buffer, FileFullDirectoryRestartInfo,
                                            FileFullDirectoryInfo, take, delivered);
    }
    const FsResult listed =
        ListWith<FILE_ID_BOTH_DIR_INFO>(directory, buffer, FileIdBothDirectoryRestartInfo,
                                        FileIdBothDirectoryInfo, take, delivered);
    // Redirectors without the identity class still have the plain one.
    if (delivered || !RefusesTheClass(listed.Code()))
        return listed;
    return ListWith<FILE_FULL_DIR_INFO>(directory, buffer, FileFullDirectoryRestartInfo,
                                        FileFullDirectoryInfo, take, delivered);
}

// A small buffer: the system fills in (and under Wine looks up) only the entries that fit,
// and the first entry besides "." and ".." settles it.
bool IsEmptyDirectory(HANDLE directory) {
    bool empty = true;
    const FsResult listed =
        ForEachEntry(directory, kFirstEntriesBytes, [&empty](ListedEntry&& entry) {
            empty = entry.IsDotEntry();
            return empty;
        });
    return listed.Ok() && empty;
}

// The file index alone: GetFileInformationByHandle also asks for the volume, which costs
// Wine about 600 us a call, against 40 for this.
FsResult QueryFileId(HANDLE handle, FileId& id) {
    if (wideIdsInForce) {
        WideFileId wide{};
        if (!SystemCalls().getInformation(handle, kFileIdInfoClass, &wide, sizeof wide))
            return FsResult(GetLastError(), FsStep::Query);
        id = FoldWideId(wide.id);
        return FsResult::Success();
    }
    LARGE_INTEGER index{};
    const FsResult outcome = QueryInfo(handle, index, kFileInternalInformation);
    if (outcome.Ok())
        id = static_cast<FileId>(index.QuadPart);
    return outcome;
}

namespace {

bool ReadWideFileId(HANDLE handle, WideFileId& id) {
    return SystemCalls().getInformation(handle, kFileIdInfoClass, &id, sizeof id) != FALSE;
}

// All zeros or all ones: the file system keeps no such id.
bool IsKnownWideId(const unsigned char (&id)[16]) {
    bool zeros = true, ones = true;
    for (unsigned char byte : id) {
        zeros = zeros && byte == 0;
        ones = ones && byte == 0xFF;
    }
    return !zeros && !ones;
}

// The half of a wide id that a 64-bit index lacks (0 for every id that fits one).
ULONGLONG UpperHalf(const unsigned char (&id)[16]) {
    ULONGLONG high = 0;
    std::memcpy(&high, id + 8, sizeof high);
    return high;
}

} // namespace

FileId FoldWideId(const unsigned char (&id)[16]) {
    if (!IsKnownWideId(id))
        return 0;
    ULONGLONG low = 0, high = UpperHalf(id);
    std::memcpy(&low, id, sizeof low);
    if (high == 0)
        return low;
    // Any mixing serves that both sides share; this one spreads every bit of the upper half.
    high *= 0x9E3779B97F4A7C15ULL;
    const FileId folded = low ^ high ^ (high >> 31);
    return IsKnownId(folded) ? folded : 1;
}

bool HasWideIds(HANDLE root) {
    WideFileId wide{};
    if (SystemCalls().getInformation(root, kFileIdInfoClass, &wide, sizeof wide)) {
        if (UpperHalf(wide.id) != 0 && IsKnownWideId(wide.id))
            return true;
    }
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    return GetVolumeInformationByHandleW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                         MAX_PATH + 1) &&
           lstrcmpiW(fileSystem, L"ReFS") == 0;
}

WideIdsInForce::WideIdsInForce(bool wide) : before_(wideIdsInForce) {
    wideIdsInForce = wide;
}

WideIdsInForce::~WideIdsInForce() {
    wideIdsInForce = before_;
}

bool WideIdsInForce::Now() {
    return wideIdsInForce;
}

// On ReFS and Dev Drives a file's id has 128 bits and its 64-bit index need not be unique:
// where the file system gives the wide id, it decides, with the volume; elsewhere the index.
bool IsSameFile(HANDLE a, HANDLE b) {
    WideFileId x{}, y{};
    const bool wideA = ReadWideFileId(a, x), wideB = ReadWideFileId(b, y);
    if (wideA || wideB)
        return wideA && wideB && IsKnownWideId(x.id) && x.volume == y.volume &&
               std::memcmp(x.id, y.id, sizeof x.id) == 0;
    FileId i = 0, j = 0;
    return QueryFileId(a, i).Ok() && QueryFileId(b, j).Ok() && IsKnownId(i) && i == j;
}

// Volumes the mount manager does not know (RAM disks, drives made by DefineDosDevice,
// user-mode file systems) have no DOS form: their NT form serves. On a share whose user may
// not read a folder above the root, the normalized name is refused (access denied): the name
// as opened serves. Every path of one scan comes from the same volume and share, so root and
// subdirectories are compared in one form.
std::wstring FinalPathOf(HANDLE handle) {
    for (DWORD name : {DWORD(FILE_NAME_NORMALIZED), DWORD(FILE_NAME_OPENED)})
        for (DWORD volume : {DWORD(VOLUME_NAME_DOS), DWORD(VOLUME_NAME_NT)}) {
            std::wstring path = GrownWideText([handle, name, volume](wchar_t* buffer, DWORD size) {
                return SystemCalls().finalPath(handle, buffer, size, name | volume);
            });
            if (!path.empty())
                return path;
        }
    return std::wstring();
}

bool IsLinkTag(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (tag == 0 || IsReparseTagNameSurrogate(tag));
}

bool IsPlaceholder(DWORD attributes, DWORD tag) {
    const DWORD kRecallOnOpen = 0x40000, kRecallOnDataAccess = 0x400000;
    const DWORD kCloudTag = 0x9000001A, kCloudTagMask = 0xFFFF0FFF; // the tag and its 15 kinds
    return (attributes & (kRecallOnOpen | kRecallOnDataAccess | FILE_ATTRIBUTE_OFFLINE)) ||
           ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (tag & kCloudTagMask) == kCloudTag);
}

FsResult ReadAttributeTag(HANDLE handle, DWORD& attributes, DWORD& tag) {
    struct {
        ULONG attributes;
        ULONG tag;
    } info{};
    const FsResult read = QueryInfo(handle, info, kFileAttributeTagInformation);
    attributes = info.attributes;
    tag = info.tag;
    return read;
}

bool IsLinkHandle(HANDLE handle) {
    DWORD attributes = 0, tag = 0;
    return !ReadAttributeTag(handle, attributes, tag).Ok() || IsLinkTag(attributes, tag);
}

FsResult ReadStamps(HANDLE handle, FILETIME& created, FILETIME& written, FILETIME& accessed,
                    DWORD& attributes) {
    FILE_BASIC_INFO info{};
    if (!SystemCalls().getInformation(handle, FileBasicInfo, &info, sizeof info))
        return FsResult(GetLastError(), FsStep::Query);
    created = ToFileTime(info.CreationTime);
    written = ToFileTime(info.LastWriteTime);
    accessed = ToFileTime(info.LastAccessTime);
    attributes = info.FileAttributes;
    return FsResult::Success();
}

FsResult ReadLinkCount(HANDLE handle, unsigned long& links) {
    FILE_STANDARD_INFO info{};
    const FsResult outcome = QueryInfo(handle, info, kFileStandardInformation);
    if (outcome.Ok())
        links = info.NumberOfLinks;
    return outcome;
}

FsResult WriteAttributesThroughHandle(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO info{}; // zero times leave them as they are
    info.FileAttributes = attributes;
    if (info.FileAttributes == 0)
        info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info)
               ? FsResult::Success()
               : FsResult(GetLastError(), FsStep::Change);
}

bool MeansNotSupported(long status) {
    return status == kNotImplemented || status == kInvalidInfoClass || status == kNotSupported ||
           status == kInvalidDeviceRequest || status == kInvalidParameter;
}

FsResult MarkExtended(HANDLE item, DispositionSupport& support) {
    if (support.extendedLacking)
        return FsResult(ERROR_NOT_SUPPORTED, FsStep::Change);
    // POSIX semantics first; every variant is tried on any "not supported" answer.
    for (ULONG flags : {kDispositionDelete | kDispositionPosix | kDispositionIgnoreReadOnly,
                        kDispositionDelete | kDispositionIgnoreReadOnly}) {
        ULONG info = flags;
        IO_STATUS_BLOCK io{};
        const NTSTATUS status = SystemCalls().setInformation(item, &io, &info, sizeof info,
                                                             kFileDispositionInformationEx);
        if (status >= 0)
            return FsResult::Success();
        if (!MeansNotSupported(status))
            return ErrorOf(status, FsStep::Change);
    }
    support.extendedLacking = true;
    return FsResult(ERROR_NOT_SUPPORTED, FsStep::Change);
}

FsResult MarkClassic(HANDLE item) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetInfo(item, disposition, kFileDispositionInformation);
}
