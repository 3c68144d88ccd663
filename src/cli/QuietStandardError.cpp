#include "cli/QuietStandardError.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#endif

namespace vexa::cli {

namespace {

// In a sanitizer build the sanitizers' reports must not vanish with the libraries' chatter: a
// fault inside a decoder would look like an ordinary failed read.
void sendSanitizerReportsTo([[maybe_unused]] int fd) {
#ifdef __SANITIZE_ADDRESS__
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
#endif
}

} // namespace

QuietStandardError::QuietStandardError() {
    std::fflush(stderr);
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing < 0) return;
    m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (m_saved >= 0 && ::dup2(nothing, STDERR_FILENO) < 0) {
        ::close(m_saved);
        m_saved = -1;
    }
    ::close(nothing);
    if (m_saved >= 0) sendSanitizerReportsTo(m_saved);
}

QuietStandardError::~QuietStandardError() {
    if (m_saved < 0) return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    sendSanitizerReportsTo(STDERR_FILENO);
    ::close(m_saved);
}

} // namespace vexa::cli
