#include "support/nt_stand_in.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

const auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
const auto kFileDispositionInformationEx = static_cast<FILE_INFORMATION_CLASS>(64);
const auto kFileAttributeTagInformation = static_cast<FILE_INFORMATION_CLASS>(35);
const auto kWideListing = static_cast<FILE_INFO_BY_HANDLE_CLASS>(19);
const auto kWideListingRestart = static_cast<FILE_INFO_BY_HANDLE_CLASS>(20);

// An entry of the wide-id listing class (FILE_ID_EXTD_DIR_INFO).
struct WideEntry {
    ULONG next, index;
    LARGE_INTEGER created, accessed, written, changed, end, allocated;
    ULONG attributes, nameBytes, eaSize, tag;
    unsigned char id[16];
    WCHAR name[1];
};

} // namespace

NtStandIn* NtStandIn::current_ = nullptr;

NtStandIn::NtStandIn() {
    current_ = this;
    NtCalls& calls = SystemCalls();
    calls.createFile = Create;
    calls.queryInformation = Query;
    calls.setInformation = Set;
    calls.getInformation = GetInformation;
    calls.finalPath = FinalPathOfHandle;
}

NtStandIn::~NtStandIn() {
    SystemCalls() = RealSystemCalls();
    current_ = nullptr;
}

std::wstring NtStandIn::FinalPath(HANDLE handle, DWORD flags) {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = RealSystemCalls().finalPath(handle, buffer.data(),
                                                static_cast<DWORD>(buffer.size()), flags);
    return n > 0 && n < buffer.size() ? std::wstring(buffer.data(), n) : std::wstring();
}

NTSTATUS NTAPI NtStandIn::Create(PHANDLE handle, ACCESS_MASK access, POBJECT_ATTRIBUTES object,
                                 PIO_STATUS_BLOCK io, PLARGE_INTEGER size, ULONG attributes,
                                 ULONG share, ULONG disposition, ULONG options, PVOID ea,
                                 ULONG eaSize) {
    const auto real = [&] {
        return RealSystemCalls().createFile(handle, access, object, io, size, attributes, share,
                                            disposition, options, ea, eaSize);
    };
    if (!current_->open || object->RootDirectory == nullptr)
        return real();
    const UNICODE_STRING& name = *object->ObjectName;
    const std::wstring path = FinalPath(object->RootDirectory) + L"\\" +
                              std::wstring(name.Buffer, name.Length / sizeof(wchar_t));
    const NTSTATUS answer = current_->open(path, access, options);
    if (answer < 0)
        return answer;
    const NTSTATUS status = real();
    return status < 0 || answer == 0 ? status : answer;
}

NTSTATUS NTAPI NtStandIn::Query(HANDLE handle, PIO_STATUS_BLOCK io, PVOID info, ULONG size,
                                FILE_INFORMATION_CLASS kind) {
    const NTSTATUS status = RealSystemCalls().queryInformation(handle, io, info, size, kind);
    if (status < 0)
        return status;
    if (kind == kFileInternalInformation && current_->identity) {
        auto* id = static_cast<LARGE_INTEGER*>(info);
        id->QuadPart = static_cast<LONGLONG>(
            current_->identity(FinalPath(handle), static_cast<FileId>(id->QuadPart)));
    }
    if (kind == kFileAttributeTagInformation && current_->tag) {
        auto* tagInfo = static_cast<ULONG*>(info); // attributes, then the tag
        current_->tag(FinalPath(handle), tagInfo[0], tagInfo[1]);
    }
    return status;
}

NTSTATUS NTAPI NtStandIn::Set(HANDLE handle, PIO_STATUS_BLOCK io, PVOID info, ULONG size,
                              FILE_INFORMATION_CLASS kind) {
    if (kind == kFileDispositionInformationEx && current_->extendedDisposition) {
        const long answer =
            current_->extendedDisposition(FinalPath(handle), *static_cast<ULONG*>(info));
        if (answer != -1)
            return answer;
    }
    return RealSystemCalls().setInformation(handle, io, info, size, kind);
}

BOOL WINAPI NtStandIn::GetInformation(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer,
                                      DWORD size) {
    const bool restart =
        kind == FileIdBothDirectoryRestartInfo || kind == FileFullDirectoryRestartInfo;
    if (restart && current_->listing) {
        if (const DWORD error = current_->listing(FinalPath(handle), kind)) {
            SetLastError(error);
            return FALSE;
        }
    }
    const bool listingPart =
        restart || kind == FileIdBothDirectoryInfo || kind == FileFullDirectoryInfo;
    if (listingPart && current_->listingPart) {
        current_->part_ = restart ? 0 : current_->part_ + 1;
        if (const DWORD error = current_->listingPart(FinalPath(handle), current_->part_)) {
            SetLastError(error);
            return FALSE;
        }
    }
    if ((kind == kWideListing || kind == kWideListingRestart) && current_->wideIdentity)
        return WideListing(handle, kind == kWideListingRestart, buffer, size);
    if (kind == kFileIdInfoClass && current_->wideIdentity) {
        WideFileId id{};
        (void)RealSystemCalls().getInformation(handle, kind, &id, sizeof id);
        if (!current_->wideIdentity(FinalPath(handle), id)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::memcpy(buffer, &id, sizeof id);
        return TRUE;
    }
    if (!RealSystemCalls().getInformation(handle, kind, buffer, size))
        return FALSE;
    if ((kind == FileIdBothDirectoryRestartInfo || kind == FileIdBothDirectoryInfo) &&
        (current_->entry || current_->identity || current_->listedIdentity)) {
        const std::wstring directory = FinalPath(handle);
        for (auto* at = static_cast<char*>(buffer);;) {
            auto& info = *reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(at);
            const std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
            if (current_->entry)
                current_->entry(directory, name, info.FileAttributes, info.EaSize);
            const std::wstring path = directory + L"\\" + name;
            auto& id = reinterpret_cast<FileId&>(info.FileId.QuadPart);
            if (current_->identity)
                id = current_->identity(path, id);
            if (current_->listedIdentity)
                id = current_->listedIdentity(path, id);
            if (info.NextEntryOffset == 0)
                break;
            at += info.NextEntryOffset;
        }
    }
    return TRUE;
}

// What Wine lacks: the wide-id class, made of the identity class's entries, each given the
// system's index as the low half of its wide id, then `entry` and `wideIdentity`.
BOOL NtStandIn::WideListing(HANDLE handle, bool restart, LPVOID buffer, DWORD size) {
    // An entry of the identity class is never smaller than its wide one.
    std::vector<char> listed(size);
    if (!RealSystemCalls().getInformation(
            handle, restart ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo,
            listed.data(), size))
        return FALSE;
    const std::wstring directory = FinalPath(handle);
    auto* out = static_cast<char*>(buffer);
    WideEntry* previous = nullptr;
    for (const char* at = listed.data();;) {
        const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
        auto& wide = *reinterpret_cast<WideEntry*>(out);
        std::memset(&wide, 0, sizeof wide);
        wide.created = info.CreationTime;
        wide.accessed = info.LastAccessTime;
        wide.written = info.LastWriteTime;
        wide.changed = info.ChangeTime;
        wide.end = info.EndOfFile;
        wide.allocated = info.AllocationSize;
        wide.attributes = info.FileAttributes;
        wide.nameBytes = info.FileNameLength;
        wide.tag = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? info.EaSize : 0;
        std::memcpy(wide.name, info.FileName, info.FileNameLength);
        const std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
        if (current_->entry)
            current_->entry(directory, name, wide.attributes, wide.tag);
        WideFileId id{};
        std::memcpy(id.id, &info.FileId, sizeof info.FileId);
        if (!current_->wideIdentity(directory + L"\\" + name, id)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::memcpy(wide.id, id.id, sizeof wide.id);
        if (previous)
            previous->next = static_cast<ULONG>(out - reinterpret_cast<char*>(previous));
        previous = &wide;
        out += (offsetof(WideEntry, name) + info.FileNameLength + 7) & ~size_t(7);
        if (info.NextEntryOffset == 0)
            return TRUE;
        at += info.NextEntryOffset;
    }
}

DWORD WINAPI NtStandIn::FinalPathOfHandle(HANDLE handle, LPWSTR buffer, DWORD size, DWORD flags) {
    if (current_->noDosPaths && (flags & VOLUME_NAME_NT) == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (current_->noNormalizedPaths && (flags & FILE_NAME_OPENED) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    if (!current_->finalPath)
        return RealSystemCalls().finalPath(handle, buffer, size, flags);
    const std::wstring real = FinalPath(handle, flags);
    if (real.empty())
        return 0; // the system's error stands
    const std::wstring answer = current_->finalPath(real);
    if (answer.size() >= size)
        return static_cast<DWORD>(answer.size() + 1);
    std::copy(answer.begin(), answer.end(), buffer);
    buffer[answer.size()] = L'\0';
    return static_cast<DWORD>(answer.size());
}
