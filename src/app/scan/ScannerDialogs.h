#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

namespace vexa::scan {

// The two scanner calls of the main window, done over SANE.

// Results of acquireToFile: 0 when the file was written, anything else not.
enum AcquireResult : qint16 {
    kAcquired = 0,
    kAcquireCancelled = 1,
    kNoScanner = 2, // SANE missing, no device found, or the device cannot be opened
    kTransferFileNotWritten = 3,
};

// Shows the list of scanners, owned by `owner`, and remembers the one chosen across runs.
// Returns 0 when a scanner was chosen, 1 when the dialog was cancelled or none was found.
qint16 chooseScanner(QWidget* owner);

// Shows the chosen scanner's dialog (or the first scanner's, when none was chosen yet),
// owned by `owner`; scans and writes the picture to `path` as a Windows bitmap. Blocks until
// the dialog closes.
qint16 acquireToFile(QWidget* owner, const QString& path);

} // namespace vexa::scan
