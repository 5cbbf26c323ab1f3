#include "support/nt_stand_in.h"

#include <cstring>
#include <vector>

namespace {

const auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
const auto kFileDispositionInformationEx = static_cast<FILE_INFORMATION_CLASS>(64);
const auto kFileAttributeTagInformation = static_cast<FILE_INFORMATION_CLASS>(35);

} // namespace

NtStandIn* NtStandIn::current_ = nullptr;

NtStandIn::NtStandIn() {
    current_ = this;
    NtCalls& calls = SystemCalls();
    calls.queryInformation = Query;
    calls.setInformation = Set;
    calls.getInformation = GetInformation;
    calls.finalPath = FinalPathOfHandle;
}

NtStandIn::~NtStandIn() {
    SystemCalls() = RealSystemCalls();
    current_ = nullptr;
}

std::wstring NtStandIn::FinalPath(HANDLE handle) {
    std::vector<wchar_t> buffer(32768);
    const DWORD n =
        RealSystemCalls().finalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    return n > 0 && n < buffer.size() ? std::wstring(buffer.data(), n) : std::wstring();
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
        const long answer = current_->extendedDisposition(*static_cast<ULONG*>(info));
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
        (current_->entry || current_->identity)) {
        const std::wstring directory = FinalPath(handle);
        for (auto* at = static_cast<char*>(buffer);;) {
            auto& info = *reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(at);
            const std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
            if (current_->entry)
                current_->entry(directory, name, info.FileAttributes, info.EaSize);
            if (current_->identity)
                info.FileId.QuadPart = static_cast<LONGLONG>(current_->identity(
                    directory + L"\\" + name, static_cast<FileId>(info.FileId.QuadPart)));
            if (info.NextEntryOffset == 0)
                break;
            at += info.NextEntryOffset;
        }
    }
    return TRUE;
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
    return RealSystemCalls().finalPath(handle, buffer, size, flags);
}
