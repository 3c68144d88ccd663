// Every effect's complete output on two 23 x 17 pictures (pseudo-random bytes, and smooth
// gradients), pinned as a 64-bit FNV-1a hash of all bytes. The values were worked out by a
// separate, literal transcription of the effect formulas, so any change to any output pixel
// of the engine, for instance by a speed-up, shows here.

#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace vexa::effects::test {
namespace {

struct Pin {
    std::int32_t id;
    std::int32_t parameter;
    std::uint64_t noiseHash;
    std::uint64_t smoothHash;
};

constexpr Pin kPins[] = {
    {1, 2, 0x1db71ee0d3a3c25aull, 0xcd96f1f9fa4f0b9dull},
    {1, -7, 0x07fde71bbe948c99ull, 0x920ad4923688692full},
    {1, 100, 0x063ae853fe5196cdull, 0x412421fa1ef3700aull},
    {2, 0, 0xf8511d0faf40be91ull, 0x66cb78bc34df292full},
    {3, 0, 0x927a5f1941f1980cull, 0xfd0aa3f2c26d3f6full},
    {4, 6, 0x042a168d381c73e0ull, 0x03b3547b2225ff1full},
    {4, 1, 0xe5a6228205111d8bull, 0x73b3b249cf7f7d2cull},
    {4, -3, 0xea106dfca76696b2ull, 0xcf948ada314e5607ull},
    {5, 0, 0xd6fe750467c3b556ull, 0x0b6b5f534c55fdd8ull},
    {6, 1, 0xa0a31a50ea54d012ull, 0x256c59bef04dc5a4ull},
    {6, -2, 0x75bf04990d74e757ull, 0x7c6381b9fb4da846ull},
    {6, 40, 0xbdfb7c1044fbcf32ull, 0x4d5066ca420ba077ull},
    {7, 16777215, 0x0b82d70824f54434ull, 0x946a814218c0b071ull},
    {7, 1056816, 0xe1e990e882514a3eull, 0xf8f529353bdfc285ull},
    {8, 7895040, 0x7e7a8570a56b6ec8ull, 0x879dd655eb93511full},
    {8, -1, 0xa0f540c0828cc374ull, 0xed5f199daef45526ull},
    {9, 8421504, 0x89d59e324ffc5557ull, 0x8ff441bf79e96225ull},
    {10, 7895040, 0x29f51513cfd607a4ull, 0x46c10dbf787128deull},
    {11, 8421504, 0x8cd91ac2b40343eaull, 0x7b797ddc2507baf0ull},
    {11, 0, 0xa50a771551423c47ull, 0x56a91d854f6c38f0ull},
    {12, 0, 0xdc54eb4a326f3f53ull, 0xb7bfade5157255a6ull},
    {13, 0, 0xb5fce7b4a03098faull, 0x721022341aa52578ull},
    {14, 20, 0x3abd206b07186aeeull, 0xc2486354564b7a0aull},
    {14, -37, 0x8a9bdf03b752f01full, 0xa6784b3690dea041ull},
    {14, 333, 0x0973bea517219126ull, 0xd55b8e093119b792ull},
    {15, 8, 0xe803f1d909307590ull, 0x37f3df759dc1df92ull},
    {15, 3, 0x9c1f1508c808035bull, 0x179aa586e6cf04a3ull},
    {15, 1000, 0x73283c7b7fad2b98ull, 0xb0b10579a4926108ull},
    {16, 1, 0x87a1b8832638b90aull, 0xa87c7584dda51b40ull},
    {16, 2, 0x0527a09ad5c9da50ull, 0xe3b84f62e9dc3ba0ull},
    {16, 3, 0x67aeace166e2ae0cull, 0x1d93fe22195492e8ull},
    {16, 4, 0x3ca5bbb713975b54ull, 0xf20e541898ba44f2ull},
    {16, 5, 0x13adb7a2f7dd5e3aull, 0x91b7ded7a641bd28ull},
    {17, 10, 0x05c260a1f9a168b0ull, 0x471e8ab7586a7ca5ull},
    {17, -10, 0xd9d0a06515a0a197ull, 0xababbe812b6d3b9full},
    {17, 250, 0x69062ba33e82a7b7ull, 0x821340701e741f94ull},
    {17, -300, 0xed0b059aeb669c10ull, 0x6faf09c7fe4f4502ull},
    {18, 11842740, 0x505db290a0540222ull, 0xefbdc70937119219ull},
    {18, 4351, 0x02b7a3ca8664ed8full, 0x3902164b8e49a6e1ull},
    {19, 0, 0x2585ee7fc0cd3afaull, 0x35b6da09b8dfec70ull},
    {20, 0, 0x5ab357c0eb6e9a0aull, 0xed2c9dc29e518a99ull},
    {21, 10, 0x53fdc04eb4758f87ull, 0x66c4b7636495ced9ull},
    {21, 20, 0x671f6f91db6bc6daull, 0x794f83b227a42e39ull},
    {21, -10, 0x6ff88f45f5d3dad2ull, 0x710b38446a902330ull},
    {22, 10, 0x5509920f12e8805full, 0x4a7e3e38ca107dd1ull},
    {22, 3, 0xee527bacc2fc99dfull, 0xe5ff31c438a70838ull},
    {23, 10, 0xdc18ae85e96e317full, 0xcffb9eb63603c550ull},
    {23, -7, 0xb29b1a1362313c32ull, 0x710b38446a902330ull},
    {24, 0, 0xc238cfe6cd00c968ull, 0x69f46b6a057e091bull},
    {25, 0, 0xe240e06540b9efcfull, 0xe180d4e956caef35ull},
    {26, 0, 0x32868fab3f497548ull, 0xf2836989b9895bc6ull},
    {27, 0, 0x0c079c22e1374a45ull, 0x57c935e8434625feull},
    {28, 0, 0xef8fa7db258eba00ull, 0x366673c1e9a7b3a2ull},
    {29, 50, 0xa5f042d990f884f0ull, 0x9229c9930bef40d6ull},
    {29, 0, 0x5d642b5259fb2500ull, 0x108ecec4e3497c99ull},
    {29, 1000, 0xd38adf020c8d4f30ull, 0x5ff261b1fafd7ef0ull},
    {30, 15, 0xcc5ef05c35da258full, 0xe157be72cb0b8278ull},
    {30, -15, 0x1deaca1fe9d42a85ull, 0x051e673e334007e3ull},
    {30, 1000, 0x3c8c8ae96afb3cb2ull, 0x71c9b669e2a058f3ull},
    {31, 90, 0xf732f7f48b066911ull, 0xf6f6e81013090f2dull},
    {31, 45, 0x3bb8658fab69bdf7ull, 0x5898d24323e28235ull},
    {31, 250, 0x71ebbfe48003e3e1ull, 0xe997646802312387ull},
};

std::uint64_t fnv1a(const Picture& p) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::uint8_t b : p.bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

Picture smoothPicture(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p.set(x + 1, y + 1, (3 * x + 5 * y) % 256, (x * y) % 256,
                  (200 + x - 2 * y + 256) % 256);
            p.at(x + 1, y + 1, 4) = std::uint8_t((x + y) % 256);
        }
    return p;
}

// Runs every pin on `engine`, each from the start of the random sequence; returns the pins
// whose pictures differ, as "effect/parameter" texts.
std::vector<std::string> mismatchedPins(EffectEngine& engine) {
    std::vector<std::string> wrong;
    for (const Pin& pin : kPins) {
        Picture noise = noisePicture(23, 17, 3);
        Picture smooth = smoothPicture(23, 17);
        engine.random().setState(Lcg24::kStart);
        const EffectStatus noiseStatus = apply(engine, pin.id, noise, pin.parameter).status;
        engine.random().setState(Lcg24::kStart);
        const EffectStatus smoothStatus = apply(engine, pin.id, smooth, pin.parameter).status;
        if (noiseStatus != EffectStatus::Done || smoothStatus != EffectStatus::Done ||
            fnv1a(noise) != pin.noiseHash || fnv1a(smooth) != pin.smoothHash)
            wrong.push_back(std::to_string(pin.id) + "/" + std::to_string(pin.parameter));
    }
    return wrong;
}

TEST(PinnedOutputs, EveryEffectGivesItsPinnedPicture) {
    for (const Pin& pin : kPins) {
        Picture noise = noisePicture(23, 17, 3);
        Picture smooth = smoothPicture(23, 17);
        restartRandom();
        ASSERT_EQ(apply(pin.id, noise, pin.parameter).status, EffectStatus::Done);
        restartRandom();
        ASSERT_EQ(apply(pin.id, smooth, pin.parameter).status, EffectStatus::Done);
        EXPECT_EQ(fnv1a(noise), pin.noiseHash) << "effect " << pin.id << " p " << pin.parameter;
        EXPECT_EQ(fnv1a(smooth), pin.smoothHash) << "effect " << pin.id << " p " << pin.parameter;
    }
}

TEST(PinnedOutputs, EnginesOnTwoThreadsAtOnceEachGiveThePinnedPictures) {
    // Both threads start together and run every pin a few times over, so that effects drawing
    // random numbers overlap on the two threads.
    std::atomic<int> ready = 0;
    const auto run = [&ready] {
        EffectEngine engine;
        ++ready;
        while (ready < 2) std::this_thread::yield();
        std::vector<std::string> wrong;
        for (int round = 0; round < 3 && wrong.empty(); ++round) wrong = mismatchedPins(engine);
        return wrong;
    };
    auto first = std::async(std::launch::async, run);
    auto second = std::async(std::launch::async, run);
    EXPECT_EQ(first.get(), std::vector<std::string>{});
    EXPECT_EQ(second.get(), std::vector<std::string>{});
}

TEST(PinnedOutputs, ASecondCallOnABusyEngineFromAnotherThreadIsBusyAndTouchesNothing) {
    EffectEngine engine;
    Picture running = noisePicture(23, 17, 3);
    std::promise<void> started;
    std::promise<void> tried;
    std::shared_future<void> triedFuture = tried.get_future().share();
    std::int32_t progress = 0;
    bool firstYield = true;
    auto worker = std::async(std::launch::async, [&] {
        return applyEffect(engine, 29, running.view(), 50, progress, [&] {
            if (std::exchange(firstYield, false)) {
                started.set_value();
                triedFuture.wait(); // hold the engine until the other call was made
            }
            return true;
        });
    });
    started.get_future().wait();
    EXPECT_TRUE(engine.isBusy());
    Picture other = smoothPicture(23, 17);
    const Picture before = other;
    std::int32_t otherProgress = -5;
    EXPECT_EQ(applyEffect(engine, 2, other.view(), 0, otherProgress).status, EffectStatus::Busy);
    EXPECT_EQ(other, before);
    EXPECT_EQ(otherProgress, -5);
    tried.set_value();
    ASSERT_EQ(worker.get().status, EffectStatus::Done);

    // The busy call left the running one alone: it gives the pinned picture of Add Noise 50
    // from a fresh sequence, and the engine takes calls again.
    EXPECT_EQ(fnv1a(running), 0xa5f042d990f884f0ull);
    EXPECT_FALSE(engine.isBusy());
    EXPECT_EQ(apply(engine, 2, other).status, EffectStatus::Done);
}

} // namespace
} // namespace vexa::effects::test
