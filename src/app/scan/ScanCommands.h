#pragma once

#include "ScanInterfaces.h"

namespace vexa {
class PictureHolder;
class PictureWriter;
} // namespace vexa

namespace vexa::scan {

// The Scan tab's buttons: "Source", "Aquire" and "Save", working on the scanned picture
// `Image20`.
class ScanCommands {
public:
    ScanCommands(PictureHolder& scanned, ScannerAccess& scanner, UserPrompts& prompts)
        : m_scanned(scanned), m_scanner(scanner), m_prompts(prompts) {}

    void source();
    // Scans into the transfer file "temp.bmp" in the program folder, shows it in Image20 and
    // deletes the file. On failure the old picture stays, and so does any file the scanner
    // left.
    void acquire();
    // Asks for a file name and writes the scanned picture: upper-case "BMP" endings as a
    // Windows bitmap, everything else through the picture writer at JPEG quality 85.
    void save(PictureWriter& writer);

private:
    PictureHolder& m_scanned;
    ScannerAccess& m_scanner;
    UserPrompts& m_prompts;
};

} // namespace vexa::scan
