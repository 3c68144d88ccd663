#pragma once

// How VEXA's programs end once their own work is done.

namespace vexa::base {

// Ends the process with `status`, after everything of the program's own has been closed:
// flushes the C streams, runs the sanitizer build's leak check, and leaves without running
// the exit handlers and the libraries' destructors. A SANE backend ends a scan by cancelling
// its reader thread asynchronously (sanei_thread), so the thread can be stopped anywhere,
// inside the C library too. Stopped there, it can leave the library's locale lock held for
// good, and a library destructor that takes that lock (p11-kit's freelocale, at exit) then
// waits forever: the program would hang after its window has closed.
[[noreturn]] void endProcess(int status);

} // namespace vexa::base
