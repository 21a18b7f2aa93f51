#include <cstdlib>
#include <new>
#include <string>

// vsl.exe is compiled without exceptions: nothing in it throws, and nothing
// catches. What could still fail are the standard library's own operations:
// memory runs out, a string would outgrow max_size(), an index is out of
// range. In a program that catches nothing, each of these could only end the
// process, through std::terminate and abort(). The definitions below end it
// the same way where the failure happens, and so keep the library's exception
// classes, its exception-enabled string code and the stack unwinder out of the
// executable.

// std::string's members, compiled here without exceptions like the rest of the
// program. The library's headers declare them as instantiated elsewhere, in
// its prebuilt copy; defined here, they are found first and that copy, with
// everything it brings, stays out of the link.
template class std::basic_string<char>;

// The global allocation functions, which a program may replace: these never
// return null and never throw. The program installs no new-handler, so
// exhausted memory ends the process as an uncaught std::bad_alloc would.
void* operator new(std::size_t size) {
    if (void* block = std::malloc(size != 0 ? size : 1)) {
        return block;
    }
    std::abort();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

// The library's header code reports a failure by calling one of these, which
// its prebuilt copy defines as throwing the matching exception.
// NOLINTBEGIN(cert-dcl58-cpp,cert-dcl50-cpp,bugprone-reserved-identifier): these
// are the library's own declarations, replaced under their names and
// signatures, variadic one included.
namespace std {

void __throw_bad_exception() {
    std::abort();
}
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_cast() {
    std::abort();
}
void __throw_bad_typeid() {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_domain_error(const char*) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_runtime_error(const char*) {
    std::abort();
}
void __throw_range_error(const char*) {
    std::abort();
}
void __throw_overflow_error(const char*) {
    std::abort();
}
void __throw_underflow_error(const char*) {
    std::abort();
}
void __throw_ios_failure(const char*) {
    std::abort();
}
void __throw_ios_failure(const char*, int) {
    std::abort();
}
void __throw_system_error(int) {
    std::abort();
}
void __throw_future_error(int) {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}

}  // namespace std
// NOLINTEND(cert-dcl58-cpp,cert-dcl50-cpp,bugprone-reserved-identifier)

// The runtime's default handler for an uncaught exception writes the
// exception's demangled type name to the standard error stream, which a
// windowed program does not have, and brings a C++ name demangler along that
// outweighs the program's own code several times over. Should anything in the
// runtime still reach std::terminate, this ends the process just the same.
namespace __gnu_cxx {

// NOLINTNEXTLINE(bugprone-reserved-identifier): the name under which the runtime looks for it
void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
