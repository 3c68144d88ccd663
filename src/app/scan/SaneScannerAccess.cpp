#include "SaneScannerAccess.h"

#include "TwainAdapter.h"

namespace vexa::scan {

void SaneScannerAccess::selectImageSource() {
    TWAIN_SelectImageSource(m_owner);
}

qint16 SaneScannerAccess::acquireToFilename(const QString& path) {
    return TWAIN_AcquireToFilename(m_owner, path);
}

} // namespace vexa::scan
