#include "core/base/ProcessEnd.h"

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace vexa::base {

void endProcess(int status) {
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // The check exit would have run: it ends the process with its own status on a leak.
    __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

} // namespace vexa::base
