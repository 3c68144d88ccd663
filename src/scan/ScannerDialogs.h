#pragma once

#include "scan/ScanInterfaces.h"

#include <QtGlobal>

class QWidget;

namespace vexa::scan {

// The two scanner calls of the main window, done over SANE.

// Shows the list of scanners, owned by `owner`, and remembers the one chosen across runs.
// Returns 0 when a scanner was chosen, 1 when the dialog was cancelled or none was found.
qint16 chooseScanner(QWidget* owner);

// Shows the chosen scanner's dialog (or the first scanner's, when none was chosen yet),
// owned by `owner`, and hands over what it scanned. Blocks until the dialog closes.
AcquiredScan acquirePicture(QWidget* owner);

} // namespace vexa::scan
