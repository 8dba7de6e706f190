// Shows the stack protector of the shipped programs at work, under Wine: the guard each start
// receives, and how a smashed stack ends the process.
//   stack_guard_check guard    prints the guard in hexadecimal
//   stack_guard_check smash    runs itself with "overrun" and prints the child's exit code
//   stack_guard_check overrun  writes past a local buffer (prints "survived" if it returns)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

extern "C" uintptr_t __stack_chk_guard;

namespace {

// Writes count bytes into a buffer of 16: past its end when count is larger. Not inlined, so
// that its own frame carries the guard.
__attribute__((noinline)) void Fill(volatile size_t count) {
    char buffer[16];
    std::memset(buffer, 'A', count);
    std::printf("%c\n", buffer[0]);
}

int Smash(const wchar_t* self) {
    wchar_t line[MAX_PATH + 32];
    _snwprintf(line, MAX_PATH + 31, L"\"%ls\" overrun", self);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child;
    if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child))
        return 3;
    WaitForSingleObject(child.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    std::printf("%08lx\n", static_cast<unsigned long>(code));
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 2) return 2;
    if (wcscmp(argv[1], L"guard") == 0) {
        std::printf("%0*llx\n", static_cast<int>(2 * sizeof(uintptr_t)),
                    static_cast<unsigned long long>(__stack_chk_guard));
        return 0;
    }
    if (wcscmp(argv[1], L"smash") == 0) return Smash(argv[0]);
    if (wcscmp(argv[1], L"overrun") == 0) {
        Fill(64);
        std::printf("survived\n");
        return 0;
    }
    return 2;
}
