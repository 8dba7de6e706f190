// The stack protector's guard and its failure, in the program itself.
//
// The compiler's runtime seeds the guard through CryptAcquireContext, which loads the
// cryptographic provider with three libraries before the first window can show, and ends a
// smashed stack with a message to a console that a windowed program does not have. Here the guard
// comes from the system's random generator (RtlGenRandom, in a library the program imports
// anyway), mixed with what differs from one start to the next, and a smashed stack ends the
// process at once through the system's fail-fast, as Windows' own programs do.
#include <windows.h>

#include <cstdint>

extern "C" {

// Not zero before the seeding either.
uintptr_t __stack_chk_guard = static_cast<uintptr_t>(0x2F8A6D51C4E9B037ULL);

BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);  // RtlGenRandom

__attribute__((noreturn, no_stack_protector)) void __stack_chk_fail() {
    // The fail-fast interrupt with FAST_FAIL_STACK_COOKIE_CHECK_FAILURE: no handler of the
    // damaged process runs. (Before Windows 8 it is an access violation, which ends it too.)
    __asm__ volatile("int $0x29" : : "c"(2) : "memory");
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

}  // extern "C"

namespace {

// Runs before every other constructor (priority 101 is the first a program may use) and changes
// the guard before any protected function is on the stack; it is not protected itself.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    // The random generator may load its helper library: never from the program's own folder
    // (a downloads folder). The program's entry point restricts the search again, the same way.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    uintptr_t seed = 0;
    if (!SystemFunction036(&seed, sizeof seed)) seed = 0;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t mix = static_cast<uint64_t>(counter.QuadPart) ^
                   (uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) ^
                   (uint64_t{GetCurrentProcessId()} << 16) ^ GetCurrentThreadId() ^
                   reinterpret_cast<uintptr_t>(&counter);
    seed ^= static_cast<uintptr_t>(mix ^ (mix >> 32));
    if (seed == 0) seed = static_cast<uintptr_t>(0x2F8A6D51C4E9B037ULL);
    __stack_chk_guard = seed;
}

}  // namespace
