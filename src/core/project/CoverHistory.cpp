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

// One change of one slot: the record before and after it.
class CoverHistory::Step final : public QUndoCommand {
public:
    Step(CoverHistory& history, cover::CoverKind kind, picture::LoadedPicture before,
         picture::LoadedPicture after, const QString& text)
        : QUndoCommand(text), m_history(history), m_kind(kind), m_before(std::move(before)),
          m_after(std::move(after)) {}

    void redo() override {
        if (!m_history.m_replaying) m_history.m_covers.setPicture(m_kind, m_after);
    }
    void undo() override { m_history.m_covers.setPicture(m_kind, m_before); }

    cover::CoverKind kind() const { return m_kind; }
    const picture::LoadedPicture& before() const { return m_before; }
    const picture::LoadedPicture& after() const { return m_after; }

private:
    CoverHistory& m_history;
    cover::CoverKind m_kind;
    picture::LoadedPicture m_before;
    picture::LoadedPicture m_after;
};

CoverHistory::CoverHistory(cover::CoverSet& covers, qint64 memoryBudget, QObject* parent)
    : QObject(parent), m_covers(covers), m_budget(memoryBudget) {
    m_stack.setUndoLimit(kMaxSteps);
}

CoverHistory::~CoverHistory() = default;

void CoverHistory::putPicture(cover::CoverKind kind, picture::LoadedPicture picture) {
    record(kind, std::move(picture), tr("Put Picture"));
}

void CoverHistory::removePicture(cover::CoverKind kind) {
    if (!m_covers.picture(kind).isNull()) record(kind, {}, tr("Remove Picture"));
}

void CoverHistory::acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture) {
    record(kind, std::move(picture), tr("Edit Picture"));
}

void CoverHistory::clear() {
    m_stack.clear();
}

void CoverHistory::record(cover::CoverKind kind, picture::LoadedPicture after,
                          const QString& text) {
    const picture::LoadedPicture& before = m_covers.picture(kind);
    if (sameRecord(before, after)) return;
    m_stack.push(new Step(*this, kind, before, std::move(after), text));
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
        addMemory(step->before(), pixels, bytes, total);
        addMemory(step->after(), pixels, bytes, total);
    }
    return total;
}

// QUndoStack drops old steps only by count, and its limit can be set only while it is
// empty: the steps to keep are pushed again onto a cleared stack, without changing the set.
// Only the index changes for the stack's users, so its other signals are held back.
void CoverHistory::dropOldest(int count) {
    struct Kept {
        cover::CoverKind kind;
        picture::LoadedPicture before;
        picture::LoadedPicture after;
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
            m_stack.push(new Step(*this, kept[i].kind, std::move(kept[i].before),
                                  std::move(kept[i].after), kept[i].text));
            if (clean == int(i) + 1) m_stack.setClean();
        }
        if (clean < 0) m_stack.resetClean();
        m_replaying = false;
    }
    emit m_stack.indexChanged(m_stack.index());
}

} // namespace vexa::project
