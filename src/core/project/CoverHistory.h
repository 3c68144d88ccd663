#pragma once

#include "core/cover/CoverKind.h"
#include "core/cover/CoverSet.h"
#include "core/picture/PictureFile.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

namespace vexa::project {

// A quarter of the machine's memory (MemTotal in /proc/meminfo, else its physical pages):
// what the steps of Undo may hold.
qint64 defaultUndoMemoryBudget();

// Undo and Redo of the changes to a set of covers: a picture put into a slot, removed, or
// replaced by the Cover Manipulator's Accept. Each change goes through here and is a step on
// a QUndoStack (whose actions and signals a window uses as they are). Up to kMaxSteps steps;
// but the oldest steps are dropped once the pictures they alone hold (those not in the set
// as it is) would take more than the memory budget: a 24-megapixel picture is 96 MB. The
// newest step always stays.
class CoverHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxSteps = 100;

    explicit CoverHistory(cover::CoverSet& covers, qint64 memoryBudget = defaultUndoMemoryBudget(),
                          QObject* parent = nullptr);
    ~CoverHistory() override;

    QUndoStack& stack() { return m_stack; }
    const QUndoStack& stack() const { return m_stack; }

    // A picture put into the kind's slot: from the browser, a drop, a paste, the command line.
    void putPicture(cover::CoverKind kind, picture::LoadedPicture picture);
    // Remove Picture: the kind's slot emptied. Nothing happens to an empty slot.
    void removePicture(cover::CoverKind kind);
    // The Cover Manipulator's Accept: the kind's picture replaced by its edit. An Accept that
    // leaves the record as it was is no step.
    void acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture);

    // A set that starts anew (New, Open, a restored recovery copy): no step to undo, and the
    // set as it is counts as unmodified.
    void clear();

    // The bytes of pixels and file data the steps hold that the set does not.
    qint64 memoryHeld() const;
    qint64 memoryBudget() const { return m_budget; }

private:
    class Step;
    void record(cover::CoverKind kind, picture::LoadedPicture after, const QString& text);
    qint64 memoryHeldFrom(int first) const;
    void dropOldest(int count);

    cover::CoverSet& m_covers;
    QUndoStack m_stack;
    qint64 m_budget;
    bool m_replaying = false; // steps pushed again after the oldest were dropped change nothing
};

} // namespace vexa::project
