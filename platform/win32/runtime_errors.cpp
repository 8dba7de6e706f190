// How the programs end on errors of the C++ runtime, without the runtime's own reporting code.
//
// The programs are built without C++ exceptions: every failure of their own is a result that the
// caller checks. What is left are the runtime's own errors, which no caller could handle anyway:
// memory that runs out in a container or in new, a container asked for more than it can hold, an
// index out of range. The runtime raises them through the helpers below and through operator new;
// its own versions throw, and with them come the unwinder, type information, the string-carrying
// error classes with a second string implementation, a printf and the demangler: together more
// code than the whole wizard. These definitions keep all of that out of the link. Each error ends
// the program as an error that nobody caught always did (abort()), after naming itself to a
// debugger.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <exception>
#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    OutputDebugStringA("Tessaron: C++ runtime error: ");
    OutputDebugStringA(what ? what : "");
    OutputDebugStringA("\n");
    std::abort();
}

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = std::abort;
}  // namespace __cxxabiv1

namespace std {
void __throw_bad_alloc() { Fail("out of memory"); }
void __throw_bad_array_new_length() { Fail("bad array new length"); }
void __throw_length_error(const char* message) { Fail(message); }
void __throw_logic_error(const char* message) { Fail(message); }
void __throw_out_of_range(const char* message) { Fail(message); }
void __throw_out_of_range_fmt(const char* format, ...) { Fail(format); }
void __throw_invalid_argument(const char* message) { Fail(message); }
void __throw_bad_function_call() { Fail("bad function call"); }
}  // namespace std

// The allocation functions: the runtime's throw bad_alloc, this one ends the program the same way
// the helpers above do. The nothrow forms give nullptr, as they must.
void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) Fail("out of memory");
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
