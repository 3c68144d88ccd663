#pragma once

#include "scan/SaneScannerAccess.h"
#include "scan/ScanCommands.h"
#include "scan/WidgetPrompts.h"

namespace vexa::scan {

// The Scan tab's commands as the main window runs them: the SANE scanner and real message
// boxes and save dialog, all owned by the main window.
struct ScanTabCommands {
    ScanTabCommands(widgets::PictureHolder& scanned, QWidget* owner)
        : scanner(owner), prompts(owner), commands(scanned, scanner, prompts) {}

    SaneScannerAccess scanner;
    WidgetPrompts prompts;
    ScanCommands commands;
};

} // namespace vexa::scan
