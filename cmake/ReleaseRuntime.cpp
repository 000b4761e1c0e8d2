// Linked into the release programs only, in place of two parts of the static libstdc++ that
// would otherwise bring in far more than they do:
// - the terminate handler ends the process with a plain abort; libstdc++'s own first names the
//   exception on standard error, which needs its whole symbol demangler (and a window program
//   has no standard error to show it on);
// - the library's checks that throw std::logic_error and std::runtime_error and their kin throw
//   an exception of our own instead: those classes hold their message in a reference-counted
//   string of the old ABI, which drags in a second copy of the string code. Nothing in the
//   programs catches them by type; an uncaught one ends the program as before.
#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

// What a failed check of the standard library throws in the release programs.
struct TLibraryCheckFailed {
    const char* What;
};

} // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() {
    throw std::bad_exception();
}
void __throw_bad_alloc() {
    throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
    throw std::bad_array_new_length();
}
void __throw_bad_cast() {
    throw std::bad_cast();
}
void __throw_bad_typeid() {
    throw std::bad_typeid();
}
void __throw_logic_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_domain_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_invalid_argument(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_length_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_out_of_range(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_out_of_range_fmt(const char* What, ...) {
    throw TLibraryCheckFailed{What};
}
void __throw_runtime_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_range_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_overflow_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_underflow_error(const char* What) {
    throw TLibraryCheckFailed{What};
}

} // namespace std
