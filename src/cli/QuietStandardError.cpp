#include "QuietStandardError.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace vexa::cli {

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
}

QuietStandardError::~QuietStandardError() {
    if (m_saved < 0) return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
}

} // namespace vexa::cli
