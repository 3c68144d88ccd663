#include "support/PrintDialogWait.h"

#include "print/PrintDialog.h"

#include <QTest>

namespace vexa::test {

bool waitUntilPrintDialogIdle(print::PrintDialog& dialog, int timeoutMs) {
    return QTest::qWaitFor([&] { return !dialog.isPrinting(); }, timeoutMs);
}

} // namespace vexa::test
