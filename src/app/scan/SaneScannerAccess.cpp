#include "SaneScannerAccess.h"

#include "ScannerDialogs.h"

namespace vexa::scan {

void SaneScannerAccess::selectImageSource() {
    chooseScanner(m_owner);
}

qint16 SaneScannerAccess::acquireToFilename(const QString& path) {
    return acquireToFile(m_owner, path);
}

} // namespace vexa::scan
