#pragma once

#include <cstdint>
#include <cstdio>

namespace vexa::cli {

// A progress bar redrawn in place on a terminal; silent when the stream is not one, so
// scripts and logs get no control characters.
class TerminalProgress {
public:
    explicit TerminalProgress(std::FILE* stream);

    // Draws `percent` (0..100) when it differs from what is shown.
    void show(std::int32_t percent);
    // Ends the bar's line, if one was drawn.
    void finish();

private:
    std::FILE* stream_;
    bool terminal_;
    std::int32_t shown_ = -1;
};

} // namespace vexa::cli
