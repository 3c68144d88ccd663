#include "core/project/CoverHistory.h"

#include <QFile>
#include <QSet>
#include <QSignalBlocker>
#include <QUndoCommand>

#include <unistd.h>

#include <vector>

namespace vexa::project {

namespace {

bool sameRecord(const picture::LoadedPicture& a, const picture::LoadedPicture& b) {
    return a.pixels.cacheKey() == b.pixels.cacheKey() && a.pixels.isNull() == b.pixels.isNull() &&
           a.bytes.constData() == b.bytes.constData() && a.changed == b.changed;
}

// What a record holds in memory, by what tells its data apart: copies share it.
void addMemory(const picture::LoadedPicture& record, QSet<qint64>& pixels, QSet<const char*>& bytes,
               qint64& total) {
    if (!record.pixels.isNull() && !pixels.contains(record.pixels.cacheKey())) {
        pixels.insert(record.pixels.cacheKey());
        total += record.pixels.sizeInBytes();
    }
    if (!record.bytes.isEmpty() && !bytes.contains(record.bytes.constData())) {
        bytes.insert(record.bytes.constData());
        total += record.bytes.size();
    }
}

} // namespace

qint64 defaultUndoMemoryBudget() {
    // /proc/meminfo first: in a container it tells the container's memory.
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : meminfo.readAll().split('\n')) {
            if (!line.startsWith("MemTotal:")) continue;
            bool ok = false;
            const qint64 kib = line.mid(9).trimmed().split(' ').value(0).toLongLong(&ok);
            if (ok && kib > 0) return kib * 1024 / 4;
        }
    }
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return qint64(1) << 30; // unknown: a modest machine's
    return qint64(pages) * pageSize / 4;
}

// One change of one slot: its picture and framing before and after it.
class CoverHistory::Step final : public QUndoCommand {
public:
    // Crop moves of one cover in a row merge into one step.
    static constexpr int kCropMoveId = 1;

    Step(CoverHistory& history, cover::CoverKind kind, Slot before, Slot after, const QString& text,
         bool cropMove)
        : QUndoCommand(text), m_history(history), m_kind(kind), m_before(std::move(before)),
          m_after(std::move(after)), m_cropMove(cropMove) {}

    void redo() override {
        if (!m_history.m_replaying) m_history.show(m_kind, m_after);
    }
    void undo() override { m_history.show(m_kind, m_before); }
    int id() const override { return m_cropMove ? kCropMoveId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const Step*>(other);
        if (next->m_kind != m_kind) return false;
        m_after = next->m_after;
        return true;
    }

    cover::CoverKind kind() const { return m_kind; }
    Slot& before() { return m_before; }
    Slot& after() { return m_after; }
    const Slot& before() const { return m_before; }
    const Slot& after() const { return m_after; }

private:
    CoverHistory& m_history;
    cover::CoverKind m_kind;
    Slot m_before;
    Slot m_after;
    bool m_cropMove;
};

CoverHistory::CoverHistory(cover::CoverSet& covers, qint64 memoryBudget, QObject* parent)
    : QObject(parent), m_covers(covers), m_budget(memoryBudget) {
    m_stack.setUndoLimit(kMaxSteps);
}

CoverHistory::~CoverHistory() = default;

// A new picture keeps its cover's fit, and its crop starts centred, as the set does it.
void CoverHistory::putPicture(cover::CoverKind kind, picture::LoadedPicture picture) {
    const cover::Framing framing{m_covers.framing(kind).fit, cover::Framing().crop};
    record(kind, Slot{std::move(picture), framing}, tr("Put Picture"));
}

void CoverHistory::removePicture(cover::CoverKind kind) {
    if (m_covers.picture(kind).isNull()) return;
    const cover::Framing framing{m_covers.framing(kind).fit, cover::Framing().crop};
    record(kind, Slot{{}, framing}, tr("Remove Picture"));
}

void CoverHistory::acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                              const cover::Framing& framing) {
    record(kind, Slot{std::move(picture), framing}, tr("Edit Picture"));
}

void CoverHistory::setFraming(cover::CoverKind kind, const cover::Framing& framing) {
    const bool cropMove = framing.fit == m_covers.framing(kind).fit;
    record(kind, Slot{m_covers.picture(kind), framing},
           cropMove ? tr("Move Crop") : tr("Change Fit"), cropMove);
}

void CoverHistory::setDecodedPixels(const QByteArray& bytes, const QImage& pixels) {
    for (int i = 0; i < m_stack.count(); ++i) {
        auto* step = static_cast<Step*>(const_cast<QUndoCommand*>(m_stack.command(i)));
        picture::fillInPixels(step->before().picture, bytes, pixels);
        picture::fillInPixels(step->after().picture, bytes, pixels);
    }
}

void CoverHistory::show(cover::CoverKind kind, const Slot& slot) {
    // The picture first, which starts the crop afresh; the same picture is not shown again.
    if (!sameRecord(m_covers.picture(kind), slot.picture)) m_covers.setPicture(kind, slot.picture);
    m_covers.setFraming(kind, slot.framing);
}

void CoverHistory::clear() {
    m_stack.clear();
}

void CoverHistory::record(cover::CoverKind kind, Slot after, const QString& text, bool cropMove) {
    Slot before{m_covers.picture(kind), m_covers.framing(kind)};
    if (sameRecord(before.picture, after.picture) && before.framing == after.framing) return;
    m_stack.push(new Step(*this, kind, std::move(before), std::move(after), text, cropMove));
    int first = 0;
    while (first < m_stack.count() - 1 && memoryHeldFrom(first) > m_budget) ++first;
    if (first > 0) dropOldest(first);
}

qint64 CoverHistory::memoryHeld() const {
    return memoryHeldFrom(0);
}

qint64 CoverHistory::memoryHeldFrom(int first) const {
    // What the set holds is held anyway.
    QSet<qint64> pixels;
    QSet<const char*> bytes;
    qint64 inSet = 0;
    for (cover::CoverKind kind : cover::kAllCoverKinds)
        addMemory(m_covers.picture(kind), pixels, bytes, inSet);
    qint64 total = 0;
    for (int i = first; i < m_stack.count(); ++i) {
        const auto* step = static_cast<const Step*>(m_stack.command(i));
        addMemory(step->before().picture, pixels, bytes, total);
        addMemory(step->after().picture, pixels, bytes, total);
    }
    return total;
}

// QUndoStack drops old steps only by count, and its limit can be set only while it is
// empty: the steps to keep are pushed again onto a cleared stack, without changing the set.
// Only the index changes for the stack's users, so its other signals are held back.
void CoverHistory::dropOldest(int count) {
    struct Kept {
        cover::CoverKind kind;
        Slot before;
        Slot after;
        QString text;
    };
    std::vector<Kept> kept;
    for (int i = count; i < m_stack.count(); ++i) {
        const auto* step = static_cast<const Step*>(m_stack.command(i));
        kept.push_back(Kept{step->kind(), step->before(), step->after(), step->text()});
    }
    // The state saved last, where it is still among the steps kept.
    const int clean = m_stack.cleanIndex() - count;
    {
        const QSignalBlocker quiet(&m_stack);
        m_replaying = true;
        m_stack.clear(); // clean at 0
        for (std::size_t i = 0; i < kept.size(); ++i) {
            // Pushed again, steps stay apart: none merges with the one before it.
            m_stack.push(new Step(*this, kept[i].kind, std::move(kept[i].before),
                                  std::move(kept[i].after), kept[i].text, false));
            if (clean == int(i) + 1) m_stack.setClean();
        }
        if (clean < 0) m_stack.resetClean();
        m_replaying = false;
    }
    emit m_stack.indexChanged(m_stack.index());
}

} // namespace vexa::project
