#pragma once

#include "scan/ScanInterfaces.h"

class QWidget;

namespace vexa::scan {

// The Scan tab's scanner: the SANE adapter's two calls, with dialogs owned by `owner`.
class SaneScannerAccess : public ScannerAccess {
public:
    explicit SaneScannerAccess(QWidget* owner) : m_owner(owner) {}

    void selectImageSource() override;
    AcquiredScan acquire() override;

private:
    QWidget* m_owner;
};

} // namespace vexa::scan
