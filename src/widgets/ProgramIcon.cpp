#include "widgets/ProgramIcon.h"

#include <QString>

// A static library's resources are registered by hand: nothing else refers to them, so the
// linker would leave them out. (Outside any namespace, as Qt's macro needs.)
static void registerIconResource() {
    Q_INIT_RESOURCE(ProgramIcon);
}

namespace vexa::widgets {

QIcon programIcon() {
    static const bool registered = (registerIconResource(), true);
    (void)registered;
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/program-icon/vexa-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vexa::widgets
