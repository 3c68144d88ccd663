#include "CoverManipulatorCommand.h"

#include "CoverHost.h"
#include "frmManipulate.h"
#include "frmmsnpopup.h"

namespace vexa {

void openCoverManipulator(CoverHost& host) {
    if (host.selectedSlotName().isEmpty()) {
        frmmsnpopup::open(host, QLatin1String(kSelectCoverMessage), QStringLiteral("picture"));
        return;
    }
    frmManipulate window(host, host.hostWindow());
    window.exec();
}

} // namespace vexa
