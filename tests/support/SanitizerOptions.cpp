// Settings for the sanitizers of the test build, compiled into every test program (an
// object library, so the linker cannot drop them) so that a test behaves the same under
// CTest, under a debugger or started by hand.
// intercept_tls_get_addr=0: GCC 12's runtime takes a dynamic TLS block that happens to start
// at a certain offset in its page for one with an old glibc header, reads a bogus range from
// it, and the leak checker's tracer dies at exit (google/sanitizers#1322). Whether it happens
// depends on where malloc puts the block, so it comes and goes with unrelated changes.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0";
}
extern "C" const char* __lsan_default_options() {
    return "suppressions=" VEXA_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
