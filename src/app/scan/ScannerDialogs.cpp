#include "ScannerDialogs.h"

#include "AcquireDialog.h"
#include "ImageEncoders.h"
#include "SaneBackend.h"
#include "ScannerChoice.h"
#include "SourceDialog.h"

namespace vexa::scan {

qint16 chooseScanner(QWidget* owner) {
    SourceDialog dialog(SaneBackend::shared(), rememberedScanner(), owner);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenDevice().isEmpty()) return 1;
    rememberScanner(dialog.chosenDevice());
    return 0;
}

qint16 acquireToFile(QWidget* owner, const QString& path) {
    SaneBackend& backend = SaneBackend::shared();
    if (!backend.isReady()) return kNoScanner;
    AcquireDialog dialog(backend, rememberedScanner(), owner);
    dialog.exec();
    switch (dialog.outcome()) {
    case AcquireDialog::Outcome::Cancelled:
        return kAcquireCancelled;
    case AcquireDialog::Outcome::NoScanner:
        return kNoScanner;
    case AcquireDialog::Outcome::Scanned:
        break;
    }
    return writeBitmapFile(dialog.picture(), path).ok() ? kAcquired : kTransferFileNotWritten;
}

} // namespace vexa::scan
