// applyEffect: checks the call, holds the engine's copy of the picture for its duration and
// runs the effect, which writes the picture in place and saves each row into the copy first;
// a call that does not complete puts the saved rows back, so a refused or cancelled call
// leaves the picture exactly as it was. Given a source of its own, the effect writes a new
// picture from it instead, and needs no copy.

#include "effects/Effects.h"

#include "effects/BandPool.h"
#include "effects/EffectFrame.h"
#include "effects/EffectKernels.h"
#include "effects/ParameterCheck.h"
#include "effects/PixelAccess.h"
#include "effects/PixelBuffer.h"
#include "effects/Random.h"
#include "effects/RowPass.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace vexa::effects {

// Holds the engine's busy state for one call. Another call on the same engine (from the yield
// hook, or from another thread) finds it taken and must leave everything alone. Taking it
// with acquire and giving it back with release also orders the calls' use of the random
// sequence when they come from different threads one after the other.
class EngineCall {
public:
    explicit EngineCall(EffectEngine& engine)
        : engine_(engine), owner_(!engine.m_busy.exchange(true, std::memory_order_acquire)) {}
    ~EngineCall() {
        if (owner_) engine_.m_busy.store(false, std::memory_order_release);
    }
    EngineCall(const EngineCall&) = delete;
    EngineCall& operator=(const EngineCall&) = delete;

    bool owner() const { return owner_; }
    Lcg24& random() { return engine_.m_random; }
    void setLastBands(int bands) { engine_.m_lastBands = bands; }

    // The engine's copy for the rows of a picture of this size: the one of the last call when
    // it is large enough, whose memory is then already in place. Null when there is not
    // enough memory.
    PixelBuffer* workingCopy(int width, int height) {
        std::unique_ptr<PixelBuffer>& copy = engine_.m_copy;
        if (copy && copy->reshape(width, height)) return copy.get();
        copy.reset(); // before the new one, so the two are never held at once
        copy = PixelBuffer::tryCreate(width, height);
        return copy.get();
    }

    // The engine's worker threads, started on first use; null on an engine of one thread.
    BandPool* pool() {
        if (engine_.m_threads > 1 && !engine_.m_pool)
            engine_.m_pool = std::make_unique<BandPool>(engine_.m_threads - 1);
        return engine_.m_pool.get();
    }

private:
    EffectEngine& engine_;
    bool owner_;
};

namespace {

// Puts the random sequence back where it was unless the effect completed, so an
// unfinished call does not change what the next one draws.
class RandomScope {
public:
    explicit RandomScope(Lcg24& random) : random_(random), saved_(random.state()) {}
    ~RandomScope() {
        if (!keep_) random_.setState(saved_);
    }
    RandomScope(const RandomScope&) = delete;
    RandomScope& operator=(const RandomScope&) = delete;
    void keep() { keep_ = true; }

private:
    Lcg24& random_;
    std::uint32_t saved_;
    bool keep_ = false;
};

constexpr EffectFunction kEffects[32] = {
    nullptr,         sharpen,
    negative,        blur,
    diffuse,         smooth,
    edgeEnhance,     contour,
    emboss,          reliefLeft,
    engrave,         reliefRight,
    grayScale,       relief,
    brightnessScale, mosaic,
    swapChannels,    contrast,
    blackAndWhite,   sharpThresholdDither,
    orderedDither,   floydSteinbergDither,
    burkesDither,    stuckiDither,
    quadrantSmooth,  dilate,
    erode,           edgeDetect,
    autoLevels,      addNoise,
    saturation,      gamma,
};

// For a PictureView or a SourceView.
template <typename View> std::string pictureRefusal(const View& picture) {
    if (picture.width < 0 || picture.height < 0) return "The picture has a negative size";
    if (picture.width == 0 || picture.height == 0) return {};
    if (!picture.pixels) return "The picture has no pixels";
    if (picture.stride < std::ptrdiff_t(picture.width) * 4)
        return "The picture's rows are shorter than its width";
    return {};
}

// The bytes a picture's rows span, from the first to past the last.
std::pair<std::uintptr_t, std::uintptr_t> span(const std::uint8_t* pixels, int width, int height,
                                               std::ptrdiff_t stride) {
    const auto first = reinterpret_cast<std::uintptr_t>(pixels);
    return {first, first + std::uintptr_t(stride) * std::uintptr_t(height - 1) +
                       std::uintptr_t(width) * 4};
}

// `source` is null for a call in place; otherwise the effect writes `target` from it.
EffectResult run(EffectEngine& engine, std::int32_t effectId, const SourceView* source,
                 const PictureView& target, std::int32_t parameter, std::int32_t& progress,
                 const YieldHook& yield) {
    EngineCall call(engine);
    if (!call.owner()) return {EffectStatus::Busy, {}};
    if (effectId < 1 || effectId > 31) return {};
    if (std::string reason = parameterRefusal(effectId, parameter); !reason.empty())
        return refused(std::move(reason));
    if (std::string reason = pictureRefusal(target); !reason.empty())
        return refused(std::move(reason));
    const int w = target.width;
    const int h = target.height;
    if (source) {
        if (std::string reason = pictureRefusal(*source); !reason.empty())
            return refused(std::move(reason));
        if (source->width != w || source->height != h)
            return refused("The source and target pictures differ in size");
    }
    if (w == 0 || h == 0) return {};
    if (source) {
        const auto [from, to] = span(source->pixels, w, h, source->stride);
        const auto [first, last] = span(target.pixels, w, h, target.stride);
        if (from < last && first < to) return refused("The source and target pictures overlap");
    }

    // In place, the rows are saved into the engine's working copy; a new picture reads the
    // caller's source, which is whole from the start.
    PixelBuffer* const buffer = source ? nullptr : call.workingCopy(w, h);
    if (!source && !buffer)
        return refused("The picture is too large: there is not enough memory for a working "
                       "copy of " +
                       std::to_string(w) + " x " + std::to_string(h) + " pixels");
    const std::uint8_t* const copy = source ? source->pixels : buffer->data();
    const std::ptrdiff_t copyStride = source ? source->stride : buffer->stride();
    Progress progressCell(progress, yield);
    auto pool = [&call] { return call.pool(); };
    RowPass rows(target.pixels, target.stride, copy, copyStride, w, h, progressCell,
                 engine.threads(), pool, source != nullptr);
    const Frame frame{copy, copyStride,    target.pixels,  target.stride, w,
                      h,    &progressCell, &call.random(), &rows,         source != nullptr};
    RandomScope randomScope(call.random());
    auto releaseCopy = [buffer] {
        if (buffer) buffer->release();
    };
    EffectResult result;
    try {
        result = kEffects[effectId](frame, parameter);
        if (result.status == EffectStatus::Done) rows.complete();
    } catch (...) {
        rows.restore();
        releaseCopy();
        throw;
    }
    if (result.status != EffectStatus::Done) rows.restore();
    releaseCopy();
    if (result.status != EffectStatus::Done) return result;
    randomScope.keep();
    call.setLastBands(rows.lastBands());
    return result;
}

} // namespace

EffectResult applyEffect(EffectEngine& engine, std::int32_t effectId, const PictureView& picture,
                         std::int32_t parameter, std::int32_t& progress, const YieldHook& yield) {
    return run(engine, effectId, nullptr, picture, parameter, progress, yield);
}

EffectResult applyEffect(EffectEngine& engine, std::int32_t effectId, const SourceView& source,
                         const PictureView& target, std::int32_t parameter, std::int32_t& progress,
                         const YieldHook& yield) {
    if (source.pixels == target.pixels && source.stride == target.stride &&
        source.width == target.width && source.height == target.height)
        return run(engine, effectId, nullptr, target, parameter, progress, yield);
    return run(engine, effectId, &source, target, parameter, progress, yield);
}

EffectEngine::EffectEngine(int threads)
    : m_threads(threads > 0 ? threads : std::max(1, int(std::thread::hardware_concurrency()))) {}

EffectEngine::~EffectEngine() = default;

} // namespace vexa::effects
