#pragma once

// The look of the two notification popups: sizes and places in twips, fonts, buttons, and which
// buttons a popup kind offers.

#include <QString>
#include <QStringList>

#include <vector>

namespace vexa::notify {

enum class PopupButton { Ok, Download, Cancel };

struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PopupButtonPlace {
    PopupButton button;
    const char* objectName;
    const char* caption;
    TwipsBox box; // on the background
};

struct PopupDesign {
    const char* objectName;
    int backgroundWidth;       // twips
    int backgroundHeight;      // twips
    TwipsBox label;            // the message, on the background
    bool labelSpansBackground; // widened to the background's right edge when displayed
    double fontPoints;
    bool boldFont;
    std::vector<PopupButtonPlace> buttons;
};

// The "select a cover" popup: small, one "OK" button.
const PopupDesign& selectCoverPopupDesign();
// The update check's popup: wide, large type, "OK" or "Download" and "Cancel".
const PopupDesign& updatePopupDesign();

// The buttons a popup of `design` shows for `kind`: "Download" and "Cancel" for "update" where
// the design has them, "OK" for every other kind, so that no popup is ever left without a way
// to close it.
std::vector<PopupButton> visibleButtons(const PopupDesign& design, const QString& kind);

// The message font: Arial Narrow, or the closest narrow sans-serif face installed.
QStringList popupFontFamilies();

} // namespace vexa::notify
