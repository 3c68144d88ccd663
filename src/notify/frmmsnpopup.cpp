#include "frmmsnpopup.h"

namespace vexa {

frmmsnpopup::frmmsnpopup(CoverHost& host, const QString& message, const QString& kind)
    : MsnPopupWindow(host, notify::selectCoverPopupDesign(), message, kind) {}

frmmsnpopup* frmmsnpopup::open(CoverHost& host, const QString& message, const QString& kind) {
    auto* popup = new frmmsnpopup(host, message, kind);
    popup->load();
    return popup;
}

} // namespace vexa
