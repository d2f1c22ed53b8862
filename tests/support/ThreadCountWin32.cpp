#include "support/ThreadCount.h"

#include <windows.h>

#include <tlhelp32.h>

namespace Tralvonic::Testing {

// The snapshot lists the threads of every process; only this process's are counted.
std::size_t ThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD process = GetCurrentProcessId();
    std::size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == process ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

} // namespace Tralvonic::Testing
