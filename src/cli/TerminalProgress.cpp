#include "cli/TerminalProgress.h"

#include <algorithm>

#include <unistd.h>

namespace vexa::cli {

TerminalProgress::TerminalProgress(std::FILE* stream)
    : stream_(stream), terminal_(isatty(fileno(stream)) != 0) {}

void TerminalProgress::show(std::int32_t percent) {
    percent = std::clamp<std::int32_t>(percent, 0, 100);
    if (!terminal_ || percent == shown_) return;
    shown_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stream_, "\r[%s] %3d%%", bar, int(percent));
    std::fflush(stream_);
}

void TerminalProgress::finish() {
    if (shown_ < 0) return;
    std::fputc('\n', stream_);
    shown_ = -1;
}

} // namespace vexa::cli
