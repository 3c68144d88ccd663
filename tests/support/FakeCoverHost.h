#pragma once

// A main window stand-in for tests of the windows that reach it through CoverHost: slot
// pictures in a map, a selected slot name, and a plain widget as the host window.

#include "CoverHost.h"
#include "SlotTable.h"

#include <QImage>
#include <QMap>
#include <QString>
#include <QWidget>

namespace vexa::test {

class FakeCoverHost : public CoverHost {
public:
    QImage slotPicture(const QString& slotName) const override {
        return m_pictures.value(slotName);
    }
    void setSlotPicture(const QString& slotName, const QImage& picture) override {
        if (!slotForName(slotName)) return;
        m_pictures[slotName] = picture;
        ++m_writes;
    }
    QString selectedSlotName() const override { return m_selected; }
    QWidget* hostWindow() override { return &m_window; }

    void putPicture(const QString& slotName, const QImage& picture) {
        m_pictures[slotName] = picture;
    }
    void select(const QString& slotName) { m_selected = slotName; }
    int slotWrites() const { return m_writes; }
    QWidget& window() { return m_window; }

private:
    QMap<QString, QImage> m_pictures;
    QString m_selected;
    int m_writes = 0;
    QWidget m_window;
};

} // namespace vexa::test
