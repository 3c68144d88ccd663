#pragma once

// How an effect's rows are run: the effect writes the caller's picture in place, and each row
// is first saved into the engine's copy, just before it is written or first read through
// Frame::sourceRow. The copy of a row is thus made while the row is in the cache anyway, and a
// failed or cancelled call puts the saved rows back, so the picture is exactly as it was.
//
// When the engine writes a new picture instead, the copy is the caller's whole source and
// nothing is saved: where in place a row would be saved, the pass fills the new picture's row
// from the source, so the effect finds there what it would find in place, and the rows no
// pass filled are filled when the effect is done. Nothing is put back: the caller drops the
// new picture of a call that does not complete.
//
// A pass whose rows do not depend on rows it has written runs on bands of rows at once: the
// calling thread takes bands itself and the engine's worker threads take the others. Only the
// calling thread stores progress and calls the yield hook; the workers stop at their next row
// once the hook has asked to stop. Internal to the engine.

#include "effects/EffectFrame.h"
#include "effects/FunctionRef.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace vexa::effects {

class BandPool;
class RowPass;
struct BandJob;

// The rows a pass works on and what it reads around them.
struct RowPlan {
    int first = 0; // the rows worked on, first .. last - 1
    int last = 0;
    int above = 0; // how many rows above and below a row the pass reads through sourceRow
    int below = 0;
    // Band boundaries fall on first + a multiple of this; a pass whose reads stay within such
    // groups of rows sets `above` and `below` to 0 and reads ahead within its group.
    int align = 1;
    bool writes = true; // false for a pass that only reads the picture (statistics)
    // False for a pass that reads only rows of the picture it has not written yet (row y
    // itself, before writing it), never the copy: the copy is then written past the cache,
    // which nothing reads from it.
    bool readsCopy = true;
    bool inBands = false; // rows do not depend on rows the pass has written
    // The pass reads the picture as it was through Band::sourceRow (forEachRowInBands sets
    // this): rows not yet written come straight from the picture, the band's last rows from a
    // few rows of its own, and the copy is written past the cache.
    bool throughBand = false;
    // Bytes of each row that such a pass writes whole, reading none of them from its output
    // row: in a new picture only the others are filled from the source first.
    std::ptrdiff_t writesFrom = 0;
    std::ptrdiff_t writesTo = 0;
    // Such a pass writes those bytes of the picture's row itself, past the cache, and the
    // pass fences them: in a new picture the others are filled from the source straight into
    // the picture's row, instead of into a row of the band's that then goes out.
    bool streams = false;
    // The row work saves row y itself, into Band::copyRow(y), part by part just before it
    // writes each part (saveAndWork), so the row comes from memory once. It reads only row y,
    // and saves the whole row before it can refuse or throw.
    bool workSaves = false;
    // Running the row work again on a written row gives the row back (Negative): nothing is
    // saved, and a pass that does not complete runs it again on the rows it wrote. Its row
    // work must neither refuse nor throw.
    bool selfInverse = false;
    bool yields = true;    // store progress and yield after each row
    bool ends = true;      // the effect's last pass: ends with 100 and a last yield
    std::int32_t base = 0; // after row y: base + (y + 1) x span \ H
    std::int32_t span = 100;
};

// Where a row work that saves its own row puts the row's copy: `copy`, or, in a new picture,
// the source's row it takes the pixels from.
struct RowCopy {
    std::uint8_t* copy = nullptr;
    const std::uint8_t* source = nullptr;
};

// One band of rows, on the thread that runs it.
class Band {
public:
    int first() const { return first_; }
    int last() const { return last_; }

    // Before row y: saves the rows it writes and reads, unless a pass that only reads.
    void prepare(int y);
    // Row r of the picture as it was, for a pass that reads through the band: r may lie up to
    // `above` rows above the row being worked on and anywhere below it.
    const std::uint8_t* sourceRow(int r) const;
    // Where row y goes in the copy, or comes from in a new picture, for a pass whose row work
    // saves its rows.
    RowCopy copyRow(int y) const;
    // The row y a pass that reads through the band writes: the picture's own, or, in a new
    // picture, a row of the band's that holds the row as it was and goes to the picture past
    // the cache once the row is done, so the picture's memory is written without being read.
    std::uint8_t* targetRow(int y) const;
    // After row y: stores progress and yields on the calling thread; false when the pass must
    // stop (the hook asked to, or another band refused).
    bool finished();

private:
    friend class RowPass;
    Band(RowPass& pass, BandJob* job, bool onCaller, const RowPlan& plan, int first, int last,
         int saveFrom, int saveTo)
        : pass_(pass), job_(job), onCaller_(onCaller), plan_(plan), first_(first), last_(last),
          nextSave_(saveFrom), saveTo_(saveTo) {}

    RowPass& pass_;
    BandJob* job_; // null on a pass that runs on one thread, or that undoes its rows
    bool onCaller_;
    const RowPlan& plan_;
    int first_;
    int last_;
    int nextSave_; // this band saves the rows nextSave_ .. saveTo_ - 1 as they are needed
    int saveTo_;
    int done_ = 0;
    bool stopped_ = false;
    bool undoing_ = false;             // running a self-inverse pass's rows again
    int current_ = -1;                 // the row being worked on
    std::vector<std::uint8_t> recent_; // rows current_ - above .. current_, as they were
    std::uint8_t* outRow_ = nullptr;   // in a new picture, where row current_ is written
};

// Works through a band's rows: false when a row refused, so the pass is refused.
using BandWork = FunctionRef<bool(Band&)>;

class RowPass {
public:
    // `copy` has room for the whole picture, rows `copyStride` apart. A pass runs on up to
    // `threads` threads; `pool()` gives the workers, and is called only when a pass needs them.
    // `newPicture`: `picture` is a new picture and `copy` the whole source, only read.
    RowPass(std::uint8_t* picture, std::ptrdiff_t pictureStride, const std::uint8_t* copy,
            std::ptrdiff_t copyStride, int width, int height, Progress& progress, int threads,
            FunctionRef<BandPool*()> pool, bool newPicture = false);

    // Runs `work` over the plan's rows, on bands when the plan allows and the picture is large
    // enough. Done, Cancelled, or Refused with no reason (the effect supplies it).
    EffectResult run(const RowPlan& plan, BandWork work);

    // Puts every saved row back into the picture, after a call that did not complete.
    void restore();

    // Fills the rows of a new picture that no pass filled, once the effect is done.
    void complete();

    // How many bands the last pass ran on (1 on one thread).
    int lastBands() const { return lastBands_; }

private:
    friend class Band;
    // Both store in written[k] how many rows band k has written.
    EffectResult runOnOneThread(const RowPlan& plan, BandWork work, std::vector<int>& written);
    EffectResult runInBands(const RowPlan& plan, BandWork work, const std::vector<int>& cuts,
                            std::vector<int>& written);
    void undo(const RowPlan& plan, BandWork work, const std::vector<int>& cuts,
              const std::vector<int>& written);
    std::vector<int> bandCuts(const RowPlan& plan) const;
    // Saves the rows from .. to - 1 that are not saved yet, past the cache when streaming; in
    // a new picture, fills them from the source.
    void save(int from, int to, bool streaming);
    // The rows of the copy are written only in place.
    std::uint8_t* copyForSaving() const { return const_cast<std::uint8_t*>(copy_); }

    std::uint8_t* picture_;
    std::ptrdiff_t pictureStride_;
    const std::uint8_t* copy_;
    std::ptrdiff_t copyStride_;
    int width_;
    int height_;
    Progress& progress_;
    int threads_;
    FunctionRef<BandPool*()> pool_;
    BandPool* workers_ = nullptr;     // the pool of the banded pass that runs
    std::vector<std::uint8_t> saved_; // per row: 1 once it is in the copy
    int lastBands_ = 0;
    bool newPicture_;
};

// Copies `bytes` bytes with stores that bypass the cache, for rows nobody reads back unless
// the call fails: they neither evict the rows being worked on nor cost a read of the memory
// they replace. The pass fences the stores before another thread or a later step reads them.
void streamCopy(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes);

// Runs work(from, to, pixels) over the `width` pixels of `row` in parts: the work reads a
// part's pixels at `from` and writes them at `to`, which never overlap. In a new picture it
// reads the source's row and writes a buffer of its own, which then goes to `row` past the
// cache: the row is read once and written once, as by memcpy. In place, each part is read
// into the buffer, worked from there into `row`, and saved from there into `copy`.
template <typename PartWork>
void saveAndWork(std::uint8_t* row, const RowCopy& copy, int width, PartWork&& work) {
    // 1 KB: small enough parts that reading the source and writing the result overlap well
    // (4 KB parts measured a fifth slower for Negative and Brightness Scale).
    constexpr int kPart = 256;
    alignas(64) std::uint8_t buffer[kPart * 4];
    for (int x = 0; x < width; x += kPart) {
        const int pixels = width - x < kPart ? width - x : kPart;
        const std::size_t bytes = std::size_t(pixels) * 4;
        std::uint8_t* at = row + std::ptrdiff_t(x) * 4;
        if (copy.source) {
            work(copy.source + std::ptrdiff_t(x) * 4, buffer, pixels);
            streamCopy(at, buffer, bytes);
        } else {
            std::memcpy(buffer, at, bytes);
            work(buffer, at, pixels);
            streamCopy(copy.copy + std::ptrdiff_t(x) * 4, buffer, bytes);
        }
    }
}

// Runs `rowWork(y)` on the band's rows, each prepared first, until the band must stop; false
// when a row work that returns bool refused.
template <typename RowWork> bool workThroughBand(Band& band, RowWork& rowWork) {
    for (int y = band.first(); y < band.last(); ++y) {
        band.prepare(y);
        if constexpr (std::is_same_v<decltype(rowWork(y)), bool>) {
            if (!rowWork(y)) return false;
        } else {
            rowWork(y);
        }
        if (!band.finished()) break;
    }
    return true;
}

// Runs `rowWork(y)` for the plan's rows first..last-1 (0-based) on the calling thread, storing
// after each one base + (y + 1) x span \ H and yielding, then 100 with a last yield. A rowWork
// that returns bool stops the effect by returning false: the result is then Refused, and the
// caller supplies the reason. For effects whose rows depend on rows written before them; each
// says why where it calls this.
template <typename RowWork>
EffectResult forEachRow(const Frame& frame, const RowPlan& plan, RowWork&& rowWork) {
    auto work = [&](Band& band) { return workThroughBand(band, rowWork); };
    return frame.rows->run(plan, work);
}

template <typename RowWork>
EffectResult forEachRow(const Frame& frame, int first, int last, RowWork&& rowWork,
                        std::int32_t base = 0, std::int32_t span = 100, int below = 0) {
    RowPlan plan;
    plan.first = first;
    plan.last = last;
    plan.below = below;
    plan.base = base;
    plan.span = span;
    return forEachRow(frame, plan, rowWork);
}

// The same for a pass described by `plan` whose rows may run on bands at once:
// `makeRowWork()` is called once per band, on the band's thread, and gives the row work for
// that band, with whatever state it keeps from row to row.
//
// A `makeRowWork(const Band&)` reads the picture as it was through band.sourceRow, not
// frame.sourceRow, and writes row y through band.targetRow(y), not frame.targetRow.
template <typename MakeRowWork>
EffectResult forEachRowInBands(const Frame& frame, RowPlan plan, MakeRowWork&& makeRowWork) {
    plan.inBands = true;
    constexpr bool kThroughBand = std::is_invocable_v<MakeRowWork&, const Band&>;
    plan.throughBand = kThroughBand;
    auto work = [&](Band& band) {
        auto rowWork = [&] {
            if constexpr (kThroughBand)
                return makeRowWork(std::as_const(band));
            else
                return makeRowWork();
        }();
        return workThroughBand(band, rowWork);
    };
    return frame.rows->run(plan, work);
}

// The same for a pass whose row work reads row y only, and only before writing it:
// `makeRowWork()` gives, once per band, a rowWork(y, copy) that saves the row into `copy`
// itself with saveAndWork, so each row comes from memory once instead of once for the copy
// and again for the work.
template <typename MakeRowWork>
EffectResult forEachRowSavingInBands(const Frame& frame, RowPlan plan, MakeRowWork&& makeRowWork) {
    plan.inBands = true;
    plan.readsCopy = false;
    plan.workSaves = true;
    plan.above = 0;
    plan.below = 0;
    auto work = [&](Band& band) {
        auto rowWork = makeRowWork();
        for (int y = band.first(); y < band.last(); ++y) {
            band.prepare(y);
            if constexpr (std::is_same_v<decltype(rowWork(y, band.copyRow(y))), bool>) {
                if (!rowWork(y, band.copyRow(y))) return false;
            } else {
                rowWork(y, band.copyRow(y));
            }
            if (!band.finished()) break;
        }
        return true;
    };
    return frame.rows->run(plan, work);
}

} // namespace vexa::effects
