#include "SaneScannerAccess.h"

#include "ScannerDialogs.h"

namespace vexa::scan {

void SaneScannerAccess::selectImageSource() {
    chooseScanner(m_owner);
}

AcquiredScan SaneScannerAccess::acquire() {
    return acquirePicture(m_owner);
}

} // namespace vexa::scan
