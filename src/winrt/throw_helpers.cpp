// The helpers through which the standard library's headers report a misuse
// or an allocation that cannot be had (a string grown past max_size, a bad
// index to at()). libstdc++'s own ones throw, and throwing brings in the
// exception runtime and unwinder, built for the Pentium Pro; the programs are
// built without exceptions and could not catch one anyway, so each ends the
// program as an uncaught exception did: abort(). These are exactly the ones
// that libstdc++ keeps together in functexcept.o, so that object is never
// needed.
#include <stdlib.h>

#include <bits/functexcept.h>

namespace std {

void __throw_bad_exception() {
    abort();
}

void __throw_bad_alloc() {
    abort();
}

void __throw_bad_array_new_length() {
    abort();
}

void __throw_bad_cast() {
    abort();
}

void __throw_bad_typeid() {
    abort();
}

void __throw_logic_error(const char*) {
    abort();
}

void __throw_domain_error(const char*) {
    abort();
}

void __throw_invalid_argument(const char*) {
    abort();
}

void __throw_length_error(const char*) {
    abort();
}

void __throw_out_of_range(const char*) {
    abort();
}

void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}

void __throw_runtime_error(const char*) {
    abort();
}

void __throw_range_error(const char*) {
    abort();
}

void __throw_overflow_error(const char*) {
    abort();
}

void __throw_underflow_error(const char*) {
    abort();
}

} // namespace std
