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
// replaced by the Cover Manipulator's Accept, and a cover's fit or crop changed. Each change
// goes through here and is a step on
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
    // The Cover Manipulator's Accept: the kind's picture replaced by its edit, with the fit and
    // crop it was accepted with. An Accept that leaves both as they were is no step.
    void acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                    const cover::Framing& framing);
    // A cover's fit or crop changed. Crop moves that follow one another on the same cover (a
    // drag, the arrow keys held down) are one step, so that Undo takes back the whole move.
    void setFraming(cover::CoverKind kind, const cover::Framing& framing);

    // Gives decoded pixels to the records the steps hold of a picture that was checked but not
    // decoded (see cover::CoverSet::setDecodedPixels): Undo brings such a picture back whole.
    void setDecodedPixels(const QByteArray& bytes, const QImage& pixels);

    // A set that starts anew (New, Open, a restored recovery copy): no step to undo, and the
    // set as it is counts as unmodified.
    void clear();

    // The bytes of pixels and file data the steps hold that the set does not.
    qint64 memoryHeld() const;
    qint64 memoryBudget() const { return m_budget; }

private:
    class Step;
    struct Slot {
        picture::LoadedPicture picture;
        cover::Framing framing;
    };
    // Pushes the change of the kind's slot to `after`, unless it changes nothing.
    void record(cover::CoverKind kind, Slot after, const QString& text, bool cropMove = false);
    void show(cover::CoverKind kind, const Slot& slot);
    qint64 memoryHeldFrom(int first) const;
    void dropOldest(int count);

    cover::CoverSet& m_covers;
    QUndoStack m_stack;
    qint64 m_budget;
    bool m_replaying = false; // steps pushed again after the oldest were dropped change nothing
};

} // namespace vexa::project
