#include "support/EffectTestSupport.h"

#include "effects/Random.h"

namespace vexa::effects::test {

Picture noisePicture(int w, int h, std::uint32_t seed) {
    Picture p(w, h);
    std::uint32_t x = seed;
    for (auto& b : p.bytes) {
        x = x * 1664525u + 1013904223u;
        b = std::uint8_t(x >> 24);
    }
    return p;
}

EffectEngine& testEngine() {
    static EffectEngine engine;
    return engine;
}

EffectResult apply(std::int32_t id, Picture& picture, std::int32_t parameter) {
    return apply(testEngine(), id, picture, parameter);
}

EffectResult apply(EffectEngine& engine, std::int32_t id, Picture& picture,
                   std::int32_t parameter) {
    std::int32_t progress = 0;
    return applyEffect(engine, id, picture.view(), parameter, progress);
}

std::vector<int> channelRow(Picture& picture, int y, int k) {
    std::vector<int> row;
    for (int x = 1; x <= picture.width; ++x) row.push_back(picture.at(x, y, k));
    return row;
}

void restartRandom() {
    testEngine().random().setState(Lcg24::kStart);
}

std::vector<EffectCase> everyEffectCase() {
    std::vector<EffectCase> cases;
    for (const EffectInfo& info : effectTable()) cases.push_back({info.id, info.usualParameter});
    const EffectCase more[] = {{15, 7},   {15, 43}, {17, 250}, {17, -300}, {30, 1000},
                               {31, 250}, {16, 3},  {14, -37}, {4, 40}};
    cases.insert(cases.end(), std::begin(more), std::end(more));
    return cases;
}

} // namespace vexa::effects::test
