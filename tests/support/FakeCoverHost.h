#pragma once

// A main window stand-in for tests of the windows that reach it through CoverHost: a cover
// set, a selected cover, and a plain widget as the host window. Pictures are named by their
// slot's object name ("Image1" ... "Image11"), as the main window's pictures are.

#include "CoverHost.h"
#include "CoverSet.h"
#include "SlotAccess.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QWidget>

namespace vexa::test {

class FakeCoverHost : public CoverHost {
public:
    FakeCoverHost() {
        QObject::connect(&m_covers, &CoverSet::pictureChanged, &m_covers, [this] { ++m_writes; });
    }

    CoverSet& covers() override { return m_covers; }
    std::optional<CoverKind> selectedKind() const override { return m_selected; }
    QWidget* hostWindow() override { return &m_window; }

    // The pixels of the named slot's picture; null for an empty slot or an unknown name.
    QImage slotPicture(const QString& slotName) { return test::slotPicture(*this, slotName); }
    // Puts a picture made in VEXA into the named slot, not counted as a write.
    void putPicture(const QString& slotName, const QImage& picture) {
        const int writes = m_writes;
        setSlotPicture(*this, slotName, picture);
        m_writes = writes;
    }
    // An unknown name selects nothing.
    void select(const QString& slotName) { m_selected = coverKindForSlotName(slotName); }
    // How often a picture was set other than by putPicture.
    int slotWrites() const { return m_writes; }
    QWidget& window() { return m_window; }

private:
    CoverSet m_covers;
    std::optional<CoverKind> m_selected;
    int m_writes = 0;
    QWidget m_window;
};

} // namespace vexa::test
