#pragma once

namespace vexa::cli {

// While it lives, whatever is written to the standard error stream goes to /dev/null. Some
// picture libraries print their errors themselves (libpng's "libpng error: Read Error",
// libtiff's "TIFFReadDirectory: ..."), bypassing Qt's message handler; vexa-cli reports a
// failure in its own single line instead. Not for threads that report meanwhile. In a
// sanitizer build the sanitizers keep reporting to the real standard error meanwhile.
class QuietStandardError {
public:
    QuietStandardError();
    ~QuietStandardError();
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved = -1;
};

} // namespace vexa::cli
