#pragma once

#include <CoverHost.h>

#include <QHash>
#include <QImage>
#include <QString>

namespace vexa::print {

// Cover pictures held apart from any window: the pictures named on the command line, or a
// snapshot of the main window's slots that a background export reads while the window goes
// on. Copies share their pixels.
class CoverPictures final : public CoverHost {
public:
    QImage slotPicture(const QString& slotName) const override {
        return m_pictures.value(slotName);
    }
    void setSlotPicture(const QString& slotName, const QImage& picture) override {
        m_pictures.insert(slotName, picture);
    }
    QString selectedSlotName() const override { return QString(); }
    QWidget* hostWindow() override { return nullptr; }

private:
    QHash<QString, QImage> m_pictures;
};

} // namespace vexa::print
