#pragma once

// A main window stand-in for tests of the windows that reach it through CoverHost: a cover
// set, a selected cover, and a plain widget as the host window. Pictures are named by their
// slot's object name ("Image1" ... "Image11"), as the main window's pictures are.

#include "core/cover/CoverSet.h"
#include "support/SlotAccess.h"
#include "widgets/CoverHost.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QWidget>

namespace vexa::test {

class FakeCoverHost : public widgets::CoverHost {
public:
    FakeCoverHost() {
        QObject::connect(&m_covers, &cover::CoverSet::pictureChanged, &m_covers,
                         [this] { ++m_writes; });
    }

    cover::CoverSet& covers() override { return m_covers; }
    std::optional<cover::CoverKind> selectedKind() const override { return m_selected; }
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
    void select(const QString& slotName) { m_selected = test::coverKindForSlotName(slotName); }
    // How often a picture was set other than by putPicture.
    int slotWrites() const { return m_writes; }
    QWidget& window() { return m_window; }

private:
    cover::CoverSet m_covers;
    std::optional<cover::CoverKind> m_selected;
    int m_writes = 0;
    QWidget m_window;
};

} // namespace vexa::test
