// How the programs report errors of the C++ runtime, without the runtime's own reporting code.
//
// The runtime's default handler for an exception that nobody catches prints the demangled type
// name to a console that a windowed program does not have, and its string-carrying error classes
// bring a second string implementation and a printf along: together more code than the whole
// wizard. The definitions here keep those parts of the runtime out of the link. An uncaught
// exception still ends the program with abort(); the container errors below are still thrown as
// exceptions, of plain classes that carry their message as a constant text.
#include <cstdlib>
#include <exception>
#include <new>

namespace {

class ERuntimeError : public std::exception {
public:
    explicit ERuntimeError(const char* message) : message_(message ? message : "") {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

class ELengthError : public ERuntimeError {
    using ERuntimeError::ERuntimeError;
};
class ELogicError : public ERuntimeError {
    using ERuntimeError::ERuntimeError;
};
class EOutOfRange : public ERuntimeError {
    using ERuntimeError::ERuntimeError;
};

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = std::abort;
}  // namespace __cxxabiv1

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* message) { throw ELengthError(message); }
void __throw_logic_error(const char* message) { throw ELogicError(message); }
void __throw_out_of_range_fmt(const char* format, ...) { throw EOutOfRange(format); }
}  // namespace std
