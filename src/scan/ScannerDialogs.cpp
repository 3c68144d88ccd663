#include "scan/ScannerDialogs.h"

#include "scan/AcquireDialog.h"
#include "scan/SaneBackend.h"
#include "scan/ScannerChoice.h"
#include "scan/SourceDialog.h"

namespace vexa::scan {

qint16 chooseScanner(QWidget* owner) {
    SourceDialog dialog(SaneBackend::shared(), rememberedScanner(), owner);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenDevice().isEmpty()) return 1;
    rememberScanner(dialog.chosenDevice());
    return 0;
}

AcquiredScan acquirePicture(QWidget* owner) {
    SaneBackend& backend = SaneBackend::shared();
    if (!backend.isReady()) return {AcquiredScan::Status::NoScanner, {}};
    AcquireDialog dialog(backend, rememberedScanner(), owner);
    dialog.exec();
    switch (dialog.outcome()) {
    case AcquireDialog::Outcome::Cancelled:
        return {AcquiredScan::Status::Cancelled, {}};
    case AcquireDialog::Outcome::NoScanner:
        return {AcquiredScan::Status::NoScanner, {}};
    case AcquireDialog::Outcome::Scanned:
        break;
    }
    return {AcquiredScan::Status::Scanned, dialog.picture()};
}

} // namespace vexa::scan
