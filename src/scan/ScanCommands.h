#pragma once

#include "scan/ScanInterfaces.h"

namespace vexa::widgets {
class PictureHolder;
}
namespace vexa::imageio {
class PictureWriter;
}

namespace vexa::scan {

// The Scan tab's buttons: "Source", "Acquire" and "Save", working on the scanned picture
// `Image20`.
class ScanCommands {
public:
    ScanCommands(widgets::PictureHolder& scanned, ScannerAccess& scanner, UserPrompts& prompts)
        : m_scanned(scanned), m_scanner(scanner), m_prompts(prompts) {}

    void source();
    // Scans and shows the picture in Image20. Without a scan the old picture stays, and a
    // message says whether no scanner was found or the scan did not complete.
    void acquire();
    // Asks for a file name and writes the scanned picture: upper-case "BMP" endings as a
    // Windows bitmap, everything else through the picture writer at JPEG quality 85. With
    // nothing scanned yet it says so and asks nothing.
    void save(imageio::PictureWriter& writer);

private:
    widgets::PictureHolder& m_scanned;
    ScannerAccess& m_scanner;
    UserPrompts& m_prompts;
};

} // namespace vexa::scan
