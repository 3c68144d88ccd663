#include "scan/SaneScannerAccess.h"

#include "scan/ScannerDialogs.h"

namespace vexa::scan {

void SaneScannerAccess::selectImageSource() {
    chooseScanner(m_owner);
}

AcquiredScan SaneScannerAccess::acquire() {
    return acquirePicture(m_owner);
}

} // namespace vexa::scan
