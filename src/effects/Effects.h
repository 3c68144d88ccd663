#pragma once

// The effect engine: 31 numbered effects that change the pixels of one picture in place, or
// write a picture's result into another.
// It knows nothing of Qt: a picture is a plain view of 32-bit top-down B,G,R,x pixels
// (the layout of a QImage in Format_RGB32); the QImage adapter lives beside it in
// QImageEffect.h, in a target of its own.

#include "effects/Random.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace vexa::effects {

// A picture the engine reads and writes: width x height pixels of 4 bytes (blue, green,
// red, reserved), rows top to bottom, each row `stride` bytes after the previous one.
struct PictureView {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

enum class EffectStatus {
    Done,      // the picture holds the effect's result
    Busy,      // another call was running; nothing was read or changed
    Cancelled, // the yield hook asked to stop; the picture is exactly as it was
    Refused,   // a parameter or picture the effect cannot work with; the picture is unchanged
};

struct EffectResult {
    EffectStatus status = EffectStatus::Done;
    std::string reason; // why a call was refused, in one line; empty otherwise
};

// Called after each row of an effect, once the progress cell holds the new percentage.
// It lets the caller pass the progress on; returning false asks the effect to stop.
using YieldHook = std::function<bool()>;

class BandPool;
class PixelBuffer;

// What one caller of the engine owns: the random sequence its effects draw from, which runs
// on from call to call, whether one of its calls is running (its busy state), the worker
// threads its effects share out bands of rows to, and the memory of its working copy, which
// it keeps between calls for the system to take back when it runs short. A program keeps one for
// its run, so that its effects draw the same numbers in every run. Calls on different engines may
// run at the same time on different threads.
class EffectEngine {
public:
    // An effect whose rows do not depend on one another runs on up to `threads` threads: the
    // calling one and threads of the engine's own, started by the first such effect. 0 takes
    // one thread per processor core. The result is the same on any number of threads.
    explicit EffectEngine(int threads = 0);
    ~EffectEngine();
    EffectEngine(const EffectEngine&) = delete;
    EffectEngine& operator=(const EffectEngine&) = delete;

    bool isBusy() const { return m_busy.load(std::memory_order_acquire); }
    int threads() const { return m_threads; }

    // How many bands of rows the last completed call's main pass was split into (1 when it ran
    // on the calling thread alone); for benchmarks and tests. Read it only while no call runs.
    int lastBands() const { return m_lastBands; }

    // The random sequence; read or set it only while no call runs.
    Lcg24& random() { return m_random; }

private:
    friend class EngineCall;
    Lcg24 m_random;
    std::atomic<bool> m_busy = false;
    int m_threads;
    int m_lastBands = 0;
    std::unique_ptr<BandPool> m_pool;
    std::unique_ptr<PixelBuffer> m_copy;
};

// Runs effect `effectId` (1 ... 31) on `picture` with `parameter`, storing percent-complete
// values in `progress`. An id outside 1 ... 31 runs nothing and leaves the picture as it was.
// A call made while another call on the same engine runs (from inside its yield hook, or
// from another thread) returns Busy at once and touches nothing. Cancelled (the hook
// returned false) and Refused (a parameter the effect cannot use, a malformed picture, or
// one too large for the engine's working copy) leave the picture and the engine's random
// sequence exactly as before the call; only Done changes the picture and moves the sequence
// on.
EffectResult applyEffect(EffectEngine& engine, std::int32_t effectId, const PictureView& picture,
                         std::int32_t parameter, std::int32_t& progress,
                         const YieldHook& yield = {});

// A picture the engine only reads: the same layout as PictureView.
struct SourceView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// The same effect on `source`, written into `target`, a picture of the same size whose pixels
// the call neither needs nor reads: for a caller that keeps the picture it started from, which
// spares the engine its copy of each row. `source` is never written. Done leaves the result in
// `target`; Busy, Cancelled and Refused leave `target`'s pixels undefined and the random
// sequence as before. Two views of the same pixels run in place as above; overlapping or
// differently sized pictures are refused.
EffectResult applyEffect(EffectEngine& engine, std::int32_t effectId, const SourceView& source,
                         const PictureView& target, std::int32_t parameter, std::int32_t& progress,
                         const YieldHook& yield = {});

// Unpacks a colour held as red + 256 x green + 65536 x blue.
struct Colour {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
};
Colour splitColour(std::int32_t colour);

// The effects by id, with the name and meaning of their parameter, for menus of tools such
// as vexa-cli.
struct EffectInfo {
    int id;
    const char* name;                // "Sharpen", "Negative", ...
    const char* parameter;           // what the parameter means, or "not used"
    std::int32_t usualParameter = 0; // what the program passes, or a typical value
    bool colourParameter = false;    // the parameter is a colour, red + 256 x green + 65536 x blue
};
std::span<const EffectInfo> effectTable();

} // namespace vexa::effects
