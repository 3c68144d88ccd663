#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace vexa {

// What other windows may reach of the main window: the cover slot pictures, the selected
// slot and the window itself (owner of dialogs, disabled while a popup is up). Windows take
// this interface instead of the main window, so each can be tested alone with a fake.
class CoverHost {
public:
    virtual ~CoverHost() = default;

    // The full picture of slot "Image1" ... "Image11" as loaded; a null image when the slot
    // is empty or the name is none of these.
    virtual QImage slotPicture(const QString& slotName) const = 0;

    // Makes a picture the slot's picture and redraws it; unknown names change nothing.
    virtual void setSlotPicture(const QString& slotName, const QImage& picture) = 0;

    // "Image1" ... "Image11", or empty while no slot was clicked.
    virtual QString selectedSlotName() const = 0;

    virtual QWidget* hostWindow() = 0;
};

} // namespace vexa
