// Overflows a heap block while the standard error stream is quiet: the sanitizer's report must
// still reach the real standard error.
#include "cli/QuietStandardError.h"

#include <cstdio>

int main(int argc, char**) {
    std::fputs("before\n", stderr);
    vexa::cli::QuietStandardError quiet;
    std::fputs("library chatter\n", stderr);
    volatile char* block = new char[4];
    block[3 + argc] = 1; // one past the end with no argument
    delete[] block;
    return 0;
}
