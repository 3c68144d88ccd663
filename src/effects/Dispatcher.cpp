// applyEffect: checks the call, holds the target buffer for its duration, runs the effect
// and writes the result back only when it completed, so a refused or cancelled call leaves
// the picture exactly as it was.

#include "effects/Effects.h"

#include "effects/EffectFrame.h"
#include "effects/EffectKernels.h"
#include "effects/ParameterCheck.h"
#include "effects/PixelAccess.h"
#include "effects/PixelBuffer.h"
#include "effects/Random.h"

#include <cstring>

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

struct Entry {
    EffectFunction run;
    bool startsAsCopy; // the effect reads the target, or leaves pixels it does not cover
};

constexpr Entry kEntries[32] = {
    {nullptr, false},         {sharpen, true},
    {negative, false},        {blur, true},
    {diffuse, true},          {smooth, true},
    {edgeEnhance, true},      {contour, false},
    {emboss, false},          {reliefLeft, false},
    {engrave, false},         {reliefRight, false},
    {grayScale, false},       {relief, false},
    {brightnessScale, false}, {mosaic, false},
    {swapChannels, false},    {contrast, false},
    {blackAndWhite, false},   {sharpThresholdDither, false},
    {orderedDither, false},   {floydSteinbergDither, false},
    {burkesDither, false},    {stuckiDither, false},
    {quadrantSmooth, false},  {dilate, false},
    {erode, false},           {edgeDetect, false},
    {autoLevels, false},      {addNoise, false},
    {saturation, false},      {gamma, false},
};

std::string pictureRefusal(const PictureView& picture) {
    if (picture.width < 0 || picture.height < 0) return "The picture has a negative size";
    if (picture.width == 0 || picture.height == 0) return {};
    if (!picture.pixels) return "The picture has no pixels";
    if (picture.stride < std::ptrdiff_t(picture.width) * 4)
        return "The picture's rows are shorter than its width";
    return {};
}

void copyRows(std::uint8_t* to, std::ptrdiff_t toStride, const std::uint8_t* from,
              std::ptrdiff_t fromStride, int width, int height) {
    const std::size_t bytes = std::size_t(width) * 4;
    if (toStride == fromStride && std::ptrdiff_t(bytes) == toStride) {
        std::memcpy(to, from, bytes * std::size_t(height));
        return;
    }
    for (int y = 0; y < height; ++y) std::memcpy(to + y * toStride, from + y * fromStride, bytes);
}

} // namespace

EffectResult applyEffect(EffectEngine& engine, std::int32_t effectId, const PictureView& picture,
                         std::int32_t parameter, std::int32_t& progress, const YieldHook& yield) {
    EngineCall call(engine);
    if (!call.owner()) return {EffectStatus::Busy, {}};
    if (effectId < 1 || effectId > 31) return {};
    if (std::string reason = parameterRefusal(effectId, parameter); !reason.empty())
        return refused(std::move(reason));
    if (std::string reason = pictureRefusal(picture); !reason.empty())
        return refused(std::move(reason));
    const int w = picture.width;
    const int h = picture.height;
    if (w == 0 || h == 0) return {};

    const auto buffer = PixelBuffer::tryCreate(w, h);
    if (!buffer)
        return refused("The picture is too large: there is not enough memory for a working "
                       "copy of " +
                       std::to_string(w) + " x " + std::to_string(h) + " pixels");
    const Entry& entry = kEntries[effectId];
    if (entry.startsAsCopy)
        copyRows(buffer->data(), buffer->stride(), picture.pixels, picture.stride, w, h);

    Progress progressCell(progress, yield);
    const Frame frame{picture.pixels, picture.stride, buffer->data(), buffer->stride(), w, h,
                      &progressCell,  &call.random()};
    RandomScope randomScope(call.random());
    EffectResult result = entry.run(frame, parameter);
    if (result.status != EffectStatus::Done) return result;
    randomScope.keep();
    copyRows(picture.pixels, picture.stride, buffer->data(), buffer->stride(), w, h);
    return result;
}

} // namespace vexa::effects
