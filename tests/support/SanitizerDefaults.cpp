// The sanitizers' settings, built into every program of a sanitizer build, so
// that a test, a fuzz target or the program itself reports alike however it is
// started (CTest, CI, by hand). Options given in the environment add to these.
//
// Leaks: only those that system libraries keep for the life of the process
// (caches filled once and never freed) are suppressed, by the library's name.
// Never name a function or a file of ours here: a leak of ours is a fault.

extern "C" {

// fontconfig keeps its caches for the process's life; libdbus (reached
// through SDL's desktop services) keeps a buffer of its own the same way.
const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

const char* __asan_default_options() { return "check_initialization_order=1:detect_leaks=1"; }

const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

}  // extern "C"
