// A process that ends through endProcess:
//   process_end_child stuck   leaves text in its output buffer, registers an exit handler that
//                             never returns (as a library destructor waiting on a lock held
//                             for good does) and ends with status 3;
//   process_end_child leak    drops a heap block and ends with status 0.
#include "core/base/ProcessEnd.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

void neverReturns() {
    for (;;) pause();
}

char* volatile dropped = nullptr;

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "stuck") == 0) {
        std::atexit(neverReturns);
        std::fputs("said before the end", stdout); // no newline: still in the buffer
        vexa::base::endProcess(3);
    }
    if (argc == 2 && std::strcmp(argv[1], "leak") == 0) {
        dropped = static_cast<char*>(std::malloc(4096));
        std::memset(dropped, 1, 4096);
        dropped = nullptr;
        vexa::base::endProcess(0);
    }
    std::fputs("usage: process_end_child stuck | leak\n", stderr);
    return 2;
}
