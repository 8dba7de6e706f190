#include "standin/SelfRemoval_win32.h"

#include <windows.h>
// After windows.h: the system's random generator (RtlGenRandom).
#include <ntsecapi.h>

#include <cwchar>
#include <string>

#include "platform/Handles.h"
#include "standin/Uninstall.h"

namespace {

constexpr int kFinishAttempts = 20;  // a program file may stay locked a moment after its exit
constexpr DWORD kFinishRetryMs = 250;

// Kernel objects (the copy's file, the handle handed to the copy, its process and thread),
// closed on every way out.
struct KernelHandleTraits {
    using Value = HANDLE;
    static constexpr HANDLE kInvalid = nullptr;
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
using TKernelHandle = plat::TOwnedHandle<KernelHandleTraits>;

const char16_t* U(const std::wstring& text) { return reinterpret_cast<const char16_t*>(text.c_str()); }

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

// A number in decimal. std::to_wstring would bring the runtime's wide printf along.
std::wstring Decimal(uintptr_t value) {
    std::string digits = std::to_string(static_cast<unsigned long long>(value));
    return std::wstring(digits.begin(), digits.end());
}

std::wstring WithoutBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// Deletion at the next start of Windows, for when no copy can finish the work now.
bool ScheduleDeletion(const std::wstring& program, const std::wstring& folder) {
    std::wstring bare = WithoutBackslash(folder);
    std::wstring log = bare + L"\\" + reinterpret_cast<const wchar_t*>(kInstallLogName);
    bool ok = MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) &&
              MoveFileExW(log.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    // The folder goes at that time only when it is empty then.
    if (ok) MoveFileExW(bare.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return ok;
}

// 64 random bits from the system's generator, in hexadecimal.
std::wstring RandomName() {
    unsigned char bytes[8] = {};
    if (!RtlGenRandom(bytes, sizeof bytes)) {
        // Without the generator: the clock's ticks, which are still no process id.
        LARGE_INTEGER ticks;
        QueryPerformanceCounter(&ticks);
        for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(ticks.QuadPart >> (8 * i));
    }
    std::wstring name;
    for (unsigned char byte : bytes) {
        name += L"0123456789abcdef"[byte >> 4];
        name += L"0123456789abcdef"[byte & 0xF];
    }
    return name;
}

bool StartCopy(const std::wstring& program, const std::wstring& folder) {
    wchar_t temp[MAX_PATH + 1];
    DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
    if (tempLength == 0 || tempLength > MAX_PATH) return false;
    // A name nobody can guess, created new: nothing another user put in the temporary folder
    // (a file, a hard link, a link) is ever written through or replaced. The temporary folder of
    // a service account may be written by every user.
    std::wstring copy;
    for (int n = 0;; ++n) {
        if (n == 10) return false;
        copy = std::wstring(temp) + L"~tsd-remove-" + RandomName() + L".exe";
        if (CopyFileW(program.c_str(), copy.c_str(), TRUE)) break;
    }
    // Only reading and deletion are shared: the loader opens the file that way, and nothing can
    // change the program in between.
    // Closed only once the copy has started from it, which then goes when the copy ends.
    HANDLE opened = CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        DeleteFileW(copy.c_str());
        return false;
    }
    TKernelHandle doomed(opened);
    // The copy waits on this handle, inherited, for this process to end.
    TKernelHandle self;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                         self.Receive(), SYNCHRONIZE, TRUE, 0)) {
        self.Release();
        return false;
    }
    std::wstring command = L"\"" + copy + L"\" " + kFinishSwitch + L" " +
                           Decimal(reinterpret_cast<uintptr_t>(self.Get())) + L" \"" +
                           WithoutBackslash(folder) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // It works in the temporary folder, so that it holds no folder it is to remove.
    BOOL started = CreateProcessW(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  temp, &startup, &process);
    if (!started) return false;
    TKernelHandle thread(process.hThread), child(process.hProcess);
    return true;
}

}  // namespace

bool StartFinishCopy(const std::wstring& folder, bool mayDeleteAtRestart) {
    std::wstring program = ModulePath();
    if (program.empty()) return false;
    return StartCopy(program, folder) || (mayDeleteAtRestart && ScheduleDeletion(program, folder));
}

int RunFinishCopy(const std::wstring& processHandle, const std::wstring& folder) {
    DWORD waited;
    {
        TKernelHandle parent(reinterpret_cast<HANDLE>(
            static_cast<uintptr_t>(std::wcstoull(processHandle.c_str(), nullptr, 10))));
        // Waits as long as the installed program shows its closing message. Without a process
        // to wait for, this was not started by the removal, and nothing is touched.
        waited = WaitForSingleObject(parent.Get(), INFINITE);
    }
    if (waited != WAIT_OBJECT_0) return kUninstallIncomplete;
    for (int attempt = 1;; ++attempt) {
        int code = FinishUninstall(U(folder));
        if (code == kUninstallRemoved || attempt == kFinishAttempts) return code;
        Sleep(kFinishRetryMs);
    }
}
