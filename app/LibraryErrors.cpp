// The errors the standard library's templates raise (a string grown past its largest size, at()
// out of range, an empty std::function called) as the program's own platform::Error, with the
// library's own message. The static C++ runtime raises them as std::length_error and its kin,
// whose message is a reference-counted string of a second kind: one raise links that string's
// code whole, about 45 KB of the 32-bit program. Nothing catches those types by name; the
// control layer shows what() of any std::exception, as before.
//
// These functions replace the runtime's own (its functexcept.o), which must then never be
// linked: a program that links this file has to have all of them, or the linker reports each
// one twice.

#include <cstdarg>
#include <cstddef>
#include <new>
#include <string>
#include <typeinfo>

#include "platform/Error.h"

namespace {

// The runtime's formatting of these messages: %zu, %s and %% only, anything else as it stands.
std::string FormatLibraryMessage(const char* format, std::va_list args) {
    std::string message;
    for (const char* c = format; *c; ++c) {
        if (c[0] == '%' && c[1] == '%') {
            message += '%';
            ++c;
        } else if (c[0] == '%' && c[1] == 's') {
            message += va_arg(args, const char*);
            ++c;
        } else if (c[0] == '%' && c[1] == 'z' && c[2] == 'u') {
            message += std::to_string(va_arg(args, std::size_t));
            c += 2;
        } else {
            message += *c;
        }
    }
    return message;
}

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* message) { throw platform::Error(message); }
void __throw_domain_error(const char* message) { throw platform::Error(message); }
void __throw_invalid_argument(const char* message) { throw platform::Error(message); }
void __throw_length_error(const char* message) { throw platform::Error(message); }
void __throw_out_of_range(const char* message) { throw platform::Error(message); }
void __throw_runtime_error(const char* message) { throw platform::Error(message); }
void __throw_range_error(const char* message) { throw platform::Error(message); }
void __throw_overflow_error(const char* message) { throw platform::Error(message); }
void __throw_underflow_error(const char* message) { throw platform::Error(message); }

void __throw_out_of_range_fmt(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string message = FormatLibraryMessage(format, args);
    va_end(args);
    throw platform::Error(message);
}

}  // namespace std
