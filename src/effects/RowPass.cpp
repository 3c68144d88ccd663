#include "effects/RowPass.h"

#include "effects/BandPool.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa::effects {

namespace {

// Below this many pixels a band costs more to hand over than it saves.
constexpr std::int64_t kBandPixels = 1 << 14;
constexpr int kBandRows = 8;
// Bands per thread: small enough bands that a thread slowed by other programs does not hold
// up the others for long.
constexpr int kBandsPerThread = 4;

} // namespace

// What the threads of one banded pass share.
struct BandJob {
    std::atomic<int> nextBand = 0;
    std::atomic<int> rowsDone = 0;
    std::atomic<bool> stop = false;
    std::atomic<bool> refused = false;
    std::atomic<bool> cancelled = false;
    int yieldedRows = 0; // rows done at the calling thread's last yield; that thread's alone
    std::mutex errorMutex;
    std::exception_ptr error;
};

namespace {

// Copies `bytes` from `from` to `to` with stores that bypass the cache, and with kKeep also
// an ordinary copy to `keep`, which stays in the cache: both from one read of each byte.
template <bool kKeep>
void streamRow(std::uint8_t* to, [[maybe_unused]] std::uint8_t* keep, const std::uint8_t* from,
               std::size_t bytes) {
#if defined(__SSE2__)
    std::size_t head = (16 - reinterpret_cast<std::uintptr_t>(to) % 16) % 16;
    if (head > bytes) head = bytes;
    std::memcpy(to, from, head);
    if constexpr (kKeep) std::memcpy(keep, from, head);
    std::size_t i = head;
    for (; i + 64 <= bytes; i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 48));
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 16), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 32), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 48), d);
        if constexpr (kKeep) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(keep + i), a);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(keep + i + 16), b);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(keep + i + 32), c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(keep + i + 48), d);
        }
    }
    std::memcpy(to + i, from + i, bytes - i);
    if constexpr (kKeep) std::memcpy(keep + i, from + i, bytes - i);
#else
    std::memcpy(to, from, bytes);
    if constexpr (kKeep) std::memcpy(keep, from, bytes);
#endif
}

void finishStreaming() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

} // namespace

void Band::prepare(int y) {
    current_ = y;
    if (!plan_.writes) return;
    if (plan_.workSaves) { // the row work copies it
        pass_.saved_[std::size_t(y)] = 1;
        return;
    }
    if (pass_.newPicture_ && plan_.throughBand) { // the row as it was, in the band's row
        const std::size_t bytes = std::size_t(pass_.width_) * 4;
        std::uint8_t* row = pass_.picture_ + y * pass_.pictureStride_;
        if (plan_.streams) {
            pass_.saved_[std::size_t(y)] = 1;
        } else {
            if (recent_.empty()) recent_.resize(bytes);
            outRow_ = row = recent_.data();
        }
        // The bytes the row work does not write, as they were.
        const std::uint8_t* from = pass_.copy_ + y * pass_.copyStride_;
        const std::ptrdiff_t rowBytes = std::ptrdiff_t(bytes);
        const std::ptrdiff_t to = std::clamp<std::ptrdiff_t>(plan_.writesTo, 0, rowBytes);
        const std::ptrdiff_t first = std::clamp<std::ptrdiff_t>(plan_.writesFrom, 0, to);
        std::memcpy(row, from, std::size_t(first));
        std::memcpy(row + to, from + to, std::size_t(rowBytes - to));
        return;
    }
    if (pass_.newPicture_ && plan_.selfInverse) { // filled for the effect to work on
        pass_.save(y, y + 1, false);
        return;
    }
    if (plan_.selfInverse) return;
    if (plan_.throughBand) {
        // The row's copy goes past the cache; the band reads the row from a copy of its own,
        // which stays in the cache while the few rows after it need it.
        const std::size_t bytes = std::size_t(pass_.width_) * 4;
        const std::size_t depth = std::size_t(plan_.above) + 1;
        if (recent_.empty()) recent_.resize(depth * bytes);
        std::uint8_t* keep = recent_.data() + std::size_t(y) % depth * bytes;
        const std::uint8_t* row = pass_.picture_ + y * pass_.pictureStride_;
        if (pass_.saved_[std::size_t(y)]) {
            std::memcpy(keep, row, bytes);
        } else { // both copies from one read of the row
            streamRow<true>(pass_.copyForSaving() + y * pass_.copyStride_, keep, row, bytes);
            pass_.saved_[std::size_t(y)] = 1;
        }
        return;
    }
    const int to = int(std::min<std::int64_t>(saveTo_, std::int64_t(y) + plan_.below + 1));
    if (to > nextSave_) {
        pass_.save(nextSave_, to, !plan_.readsCopy);
        nextSave_ = to;
    }
}

const std::uint8_t* Band::sourceRow(int r) const {
    if (pass_.newPicture_) return pass_.copy_ + r * pass_.copyStride_;
    // Rows this pass never writes are in the picture; rows of the neighbouring bands were
    // saved before the bands started; this band's rows not written yet are in the picture.
    if (r < plan_.first || r >= plan_.last) return pass_.picture_ + r * pass_.pictureStride_;
    if (r < first_ || r >= last_) return pass_.copy_ + r * pass_.copyStride_;
    if (r > current_) return pass_.picture_ + r * pass_.pictureStride_;
    const std::size_t bytes = std::size_t(pass_.width_) * 4;
    return recent_.data() + std::size_t(r) % (std::size_t(plan_.above) + 1) * bytes;
}

RowCopy Band::copyRow(int y) const {
    if (pass_.newPicture_) return {nullptr, pass_.copy_ + y * pass_.copyStride_};
    return {pass_.copyForSaving() + y * pass_.copyStride_, nullptr};
}

std::uint8_t* Band::targetRow(int y) const {
    if (outRow_ && y == current_) return outRow_;
    return pass_.picture_ + y * pass_.pictureStride_;
}

bool Band::finished() {
    ++done_;
    if (undoing_) return true;
    if (outRow_) {
        streamCopy(pass_.picture_ + current_ * pass_.pictureStride_, outRow_,
                   std::size_t(pass_.width_) * 4);
        pass_.saved_[std::size_t(current_)] = 1;
    }
    Progress& progress = pass_.progress_;
    const int h = pass_.height_;
    if (!job_) {
        stopped_ =
            plan_.yields && !progress.afterRow(plan_.first + done_, h, plan_.base, plan_.span);
        return !stopped_;
    }
    const int total = job_->rowsDone.fetch_add(1) + 1;
    if (!onCaller_) {
        pass_.workers_->signal();
        return !job_->stop.load();
    }
    job_->yieldedRows = total;
    if (plan_.yields && !progress.afterRow(plan_.first + total, h, plan_.base, plan_.span)) {
        job_->cancelled.store(true);
        job_->stop.store(true);
    }
    return !job_->stop.load();
}

RowPass::RowPass(std::uint8_t* picture, std::ptrdiff_t pictureStride, const std::uint8_t* copy,
                 std::ptrdiff_t copyStride, int width, int height, Progress& progress, int threads,
                 FunctionRef<BandPool*()> pool, bool newPicture)
    : picture_(picture), pictureStride_(pictureStride), copy_(copy), copyStride_(copyStride),
      width_(width), height_(height), progress_(progress), threads_(threads), pool_(pool),
      saved_(std::size_t(height), 0), newPicture_(newPicture) {}

void streamCopy(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
    streamRow<false>(to, nullptr, from, bytes);
}

void RowPass::save(int from, int to, bool streaming) {
    const std::size_t bytes = std::size_t(width_) * 4;
    for (int y = std::max(from, 0); y < std::min(to, height_); ++y) {
        if (saved_[std::size_t(y)]) continue;
        if (newPicture_) // the effect writes the row next, so it stays in the cache
            std::memcpy(picture_ + y * pictureStride_, copy_ + y * copyStride_, bytes);
        else if (streaming)
            streamCopy(copyForSaving() + y * copyStride_, picture_ + y * pictureStride_, bytes);
        else
            std::memcpy(copyForSaving() + y * copyStride_, picture_ + y * pictureStride_, bytes);
        saved_[std::size_t(y)] = 1;
    }
}

void RowPass::restore() {
    if (newPicture_) return;
    const std::size_t bytes = std::size_t(width_) * 4;
    for (int y = 0; y < height_; ++y)
        if (saved_[std::size_t(y)])
            std::memcpy(picture_ + y * pictureStride_, copy_ + y * copyStride_, bytes);
}

void RowPass::complete() {
    if (!newPicture_) return;
    const std::size_t bytes = std::size_t(width_) * 4;
    for (int y = 0; y < height_; ++y)
        if (!saved_[std::size_t(y)])
            streamCopy(picture_ + y * pictureStride_, copy_ + y * copyStride_, bytes);
    finishStreaming();
}

std::vector<int> RowPass::bandCuts(const RowPlan& plan) const {
    const int rows = plan.last - plan.first;
    if (!plan.inBands || threads_ <= 1 || rows <= 0)
        return {plan.first, std::max(plan.first, plan.last)};
    const std::int64_t align = std::max(plan.align, 1);
    // A band holds whole groups of `align` rows and at least enough rows that its halo of
    // rows read from its neighbours stays small beside it.
    const std::int64_t halo = align > 1 ? 0 : std::int64_t(plan.above) + plan.below;
    const std::int64_t minRows = std::max<std::int64_t>(
        {kBandRows, 4 * halo, (kBandPixels + width_ - 1) / std::max(width_, 1)});
    const std::int64_t groups = (rows + align - 1) / align;
    const std::int64_t byRows = rows / minRows;
    const std::int64_t wanted = std::int64_t(threads_) * kBandsPerThread;
    const std::int64_t bands = std::min({groups, byRows, wanted});
    if (bands <= 1) return {plan.first, plan.last};
    std::vector<int> cuts;
    cuts.reserve(std::size_t(bands) + 1);
    for (std::int64_t k = 0; k <= bands; ++k)
        cuts.push_back(
            int(std::min<std::int64_t>(plan.last, plan.first + groups * k / bands * align)));
    return cuts;
}

EffectResult RowPass::run(const RowPlan& plan, BandWork work) {
    std::vector<int> cuts = bandCuts(plan);
    if (cuts.size() > 2) {
        workers_ = pool_();
        if (!workers_ || workers_->workers() == 0) cuts = {plan.first, plan.last};
    }
    lastBands_ = int(cuts.size()) - 1;
    std::vector<int> written(std::size_t(lastBands_), 0);
    EffectResult result;
    try {
        result = cuts.size() > 2 ? runInBands(plan, work, cuts, written)
                                 : runOnOneThread(plan, work, written);
        if (result.status == EffectStatus::Done && plan.ends && !progress_.report(100))
            result = cancelled();
    } catch (...) { // from the yield hook: the picture goes back as for a cancelled call
        if (plan.selfInverse && !newPicture_) undo(plan, work, cuts, written);
        throw;
    }
    if (result.status != EffectStatus::Done && plan.selfInverse && !newPicture_)
        undo(plan, work, cuts, written);
    return result;
}

void RowPass::undo(const RowPlan& plan, BandWork work, const std::vector<int>& cuts,
                   const std::vector<int>& written) {
    for (std::size_t k = 0; k < written.size(); ++k) {
        if (written[k] == 0) continue;
        Band band(*this, nullptr, true, plan, cuts[k], cuts[k] + written[k], 0, height_);
        band.undoing_ = true;
        work(band);
    }
}

EffectResult RowPass::runOnOneThread(const RowPlan& plan, BandWork work,
                                     std::vector<int>& written) {
    Band band(*this, nullptr, true, plan, plan.first, plan.last, 0, height_);
    bool ok = false;
    try {
        ok = work(band);
    } catch (...) {
        written[0] = band.done_;
        finishStreaming();
        throw;
    }
    written[0] = band.done_;
    finishStreaming();
    if (!ok) return refused({});
    if (band.stopped_) return cancelled();
    return done();
}

EffectResult RowPass::runInBands(const RowPlan& plan, BandWork work, const std::vector<int>& cuts,
                                 std::vector<int>& written) {
    const int bands = int(cuts.size()) - 1;
    // Rows a band reads from its neighbours' rows are saved before any band starts, so no
    // band reads a row while another saves or writes it.
    if (plan.writes && plan.align <= 1 && !newPicture_)
        for (int k = 1; k < bands; ++k)
            save(cuts[std::size_t(k)] - plan.above, cuts[std::size_t(k)] + plan.below, false);
    BandJob job;
    // The calling thread takes the first band before the workers wake, so it stores progress
    // and yields from the start; after that every thread takes the next band left.
    job.nextBand.store(1);
    auto runBands = [&](bool onCaller) noexcept {
        for (bool first = onCaller;; first = false) {
            if (job.stop.load()) return;
            const int k = first ? 0 : job.nextBand.fetch_add(1);
            if (k >= bands) return;
            const int saveFrom = k == 0 ? 0 : cuts[std::size_t(k)];
            const int saveTo = k == bands - 1 ? height_ : cuts[std::size_t(k) + 1];
            Band band(*this, &job, onCaller, plan, cuts[std::size_t(k)], cuts[std::size_t(k) + 1],
                      saveFrom, saveTo);
            try {
                const bool ok = work(band);
                written[std::size_t(k)] = band.done_; // each band its own element
                finishStreaming();
                if (!ok) {
                    job.refused.store(true);
                    job.stop.store(true);
                }
            } catch (...) {
                written[std::size_t(k)] = band.done_;
                finishStreaming();
                const std::lock_guard lock(job.errorMutex);
                if (!job.error) job.error = std::current_exception();
                job.stop.store(true);
            }
        }
    };
    auto onWorker = [&] { runBands(false); };
    workers_->offer(std::min(workers_->workers(), bands - 1), onWorker);
    runBands(true);
    // What is left to the workers: the calling thread keeps storing progress and yielding, so
    // the caller can still show it and cancel.
    workers_->withdraw();
    for (;;) {
        const unsigned seen = workers_->events();
        if (workers_->running() == 0) break;
        job.yieldedRows = job.rowsDone.load();
        if (plan.yields && !job.stop.load() &&
            !progress_.afterRow(plan.first + job.yieldedRows, height_, plan.base, plan.span)) {
            job.cancelled.store(true);
            job.stop.store(true);
        }
        workers_->waitForChange(seen);
    }
    // The workers may write the last rows after the calling thread's last yield. It yields
    // once more for them, so that on any number of threads the caller is told of every row
    // before the effect's last yield, as on one thread.
    if (plan.yields && !job.stop.load() && job.yieldedRows < plan.last - plan.first &&
        !progress_.afterRow(plan.last, height_, plan.base, plan.span)) {
        job.cancelled.store(true);
        job.stop.store(true);
    }
    if (job.error) std::rethrow_exception(job.error);
    if (job.refused.load()) return refused({});
    if (job.cancelled.load()) return cancelled();
    return done();
}

} // namespace vexa::effects
