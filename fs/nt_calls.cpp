#include "fs/nt_calls.h"

const NtCalls& RealSystemCalls() {
    static const NtCalls real = {NtCreateFile, NtQueryInformationFile, NtSetInformationFile,
                                 GetFileInformationByHandleEx, GetFinalPathNameByHandleW};
    return real;
}

NtCalls& SystemCalls() {
    static NtCalls calls = RealSystemCalls();
    return calls;
}
