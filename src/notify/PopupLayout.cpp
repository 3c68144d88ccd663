#include "notify/PopupLayout.h"

#include <algorithm>

namespace vexa::notify {

const PopupDesign& selectCoverPopupDesign() {
    static const PopupDesign design{
        "messageNotice", 2055, 1455,  {120, 240, 1815, 855},
        false,           9.75, false, {{PopupButton::Ok, "okButton", "OK", {600, 1080, 855, 255}}},
    };
    return design;
}

const PopupDesign& updatePopupDesign() {
    static const PopupDesign design{
        "updateNotice",
        5415,
        1335,
        {120, 240, 5175, 495},
        true,
        18.0,
        true,
        {
            {PopupButton::Ok, "okButton", "OK", {2040, 840, 1335, 375}},
            {PopupButton::Download, "downloadButton", "Download", {1200, 840, 1335, 375}},
            {PopupButton::Cancel, "cancelButton", "Cancel", {2880, 840, 1335, 375}},
        },
    };
    return design;
}

std::vector<PopupButton> visibleButtons(const PopupDesign& design, const QString& kind) {
    const auto has = [&design](PopupButton wanted) {
        return std::any_of(design.buttons.begin(), design.buttons.end(),
                           [wanted](const PopupButtonPlace& p) { return p.button == wanted; });
    };
    if (kind == QLatin1String("update") && has(PopupButton::Download) && has(PopupButton::Cancel))
        return {PopupButton::Download, PopupButton::Cancel};
    return {PopupButton::Ok};
}

QStringList popupFontFamilies() {
    return {QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
            QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Arial"),
            QStringLiteral("Liberation Sans")};
}

} // namespace vexa::notify
