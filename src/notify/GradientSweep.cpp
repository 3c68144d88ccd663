#include "notify/GradientSweep.h"

#include "core/base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace vexa::notify {

namespace {

struct GuidePoint {
    float x;
    float y;
};

// Turns q about c by `degrees`; the angle and the results are held in single precision, as
// the drawing's guide points are.
void rotateAbout(GuidePoint& q, const GuidePoint& c, float degrees) {
    const float a = static_cast<float>(degrees * 0.017453292519943278);
    const double dx = static_cast<double>(q.x) - c.x;
    const double dy = static_cast<double>(q.y) - c.y;
    const double cosA = std::cos(static_cast<double>(a));
    const double sinA = std::sin(static_cast<double>(a));
    q.x = static_cast<float>(c.x + dx * cosA + dy * sinA);
    q.y = static_cast<float>(c.y - dx * sinA + dy * cosA);
}

std::int32_t toInt(float value) {
    return static_cast<std::int32_t>(base::roundHalfEven(value));
}

std::int32_t channel(std::int32_t colour, int shift) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(colour) >> shift) & 0xFFu);
}

// Where the sweep starts (added to both guide points) and how far it moves per line.
struct SweepStart {
    float offsetX = 0;
    float offsetY = 0;
    int stepX = 0;
    int stepY = 0;
};

SweepStart sweepStart(float angle, bool steep, const GuidePoint& p0, const GuidePoint& p1,
                      int width, int height) {
    const float maxX = std::max(p0.x, p1.x), minX = std::min(p0.x, p1.x);
    const float maxY = std::max(p0.y, p1.y), minY = std::min(p0.y, p1.y);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    SweepStart s;
    if (angle <= 90) {
        if (steep)
            s.offsetX = -maxX, s.stepX = 1;
        else
            s.offsetY = h - minY, s.stepY = -1;
    } else if (angle <= 180) {
        if (steep)
            s.offsetX = w - minX, s.stepX = -1;
        else
            s.offsetY = h - minY, s.stepY = -1;
    } else if (angle <= 270) {
        if (steep)
            s.offsetX = w - minX, s.stepX = -1;
        else
            s.offsetY = -maxY, s.stepY = 1;
    } else {
        if (steep)
            s.offsetX = -maxX, s.stepX = 1;
        else
            s.offsetY = -maxY, s.stepY = 1;
    }
    return s;
}

bool pastFarEdge(const SweepPoint& p, const SweepStart& s, int width, int height) {
    if (s.stepX > 0) return p.x > width;
    if (s.stepX < 0) return p.x < 0;
    if (s.stepY > 0) return p.y > height;
    return p.y < 0;
}

} // namespace

float normalizedAngle(float degrees) {
    if (!std::isfinite(degrees)) return 0.0f;
    const float folded = degrees - std::floor(degrees / 360.0f) * 360.0f;
    // A tiny negative angle folds to 360 itself in single precision.
    return (folded >= 360.0f || folded < 0.0f) ? 0.0f : folded;
}

std::int32_t blendColours(std::int32_t colour1, std::int32_t colour2, std::int32_t steps,
                          std::vector<std::int32_t>& table) {
    if (steps < 2) steps = 2;
    const std::int32_t r1 = channel(colour1, 0), g1 = channel(colour1, 8),
                       b1 = channel(colour1, 16);
    const float dR = static_cast<float>(channel(colour2, 0) - r1) / static_cast<float>(steps);
    const float dG = static_cast<float>(channel(colour2, 8) - g1) / static_cast<float>(steps);
    const float dB = static_cast<float>(channel(colour2, 16) - b1) / static_cast<float>(steps);

    table.assign(static_cast<std::size_t>(steps), 0);
    table.front() = colour1;
    table.back() = colour2;
    for (std::int32_t k = 1; k <= steps - 2; ++k) {
        const float kf = static_cast<float>(k);
        const std::int32_t r = toInt(static_cast<float>(r1) + kf * dR);
        const std::int32_t g = toInt(static_cast<float>(g1) + kf * dG);
        const std::int32_t b = toInt(static_cast<float>(b1) + kf * dB);
        table[static_cast<std::size_t>(k)] = r + g * 256 + b * 65536;
    }
    return steps;
}

GradientSweep gradientSweep(int width, int height, float angle, std::int32_t colour1,
                            std::int32_t colour2) {
    GradientSweep sweep;
    if (width <= 1 || height <= 1) return sweep;
    angle = normalizedAngle(angle);

    const GuidePoint c{std::floor(static_cast<float>(width) / 2.0f),
                       std::floor(static_cast<float>(height) / 2.0f)};
    const double longer = std::max(width, height);
    const float reach = static_cast<float>((std::sqrt(longer * longer + longer * longer) + 2) / 2);
    GuidePoint p0{c.x - reach, c.y};
    GuidePoint p1{c.x + reach, c.y};

    // A horizontal segment turned a quarter further than the gradient runs lies across it.
    const float turn = normalizedAngle(angle + 90.0f);
    rotateAbout(p0, c, turn);
    rotateAbout(p1, c, turn);

    const bool steep = std::fabs(p0.y - p1.y) >= std::fabs(p0.x - p1.x);
    const SweepStart start = sweepStart(angle, steep, p0, p1, width, height);

    auto& points = sweep.points;
    points.reserve(1000);
    points.push_back({toInt(p0.x + start.offsetX), toInt(p0.y + start.offsetY)});
    points.push_back({toInt(p1.x + start.offsetX), toInt(p1.y + start.offsetY)});
    for (;;) {
        const SweepPoint before = points[points.size() - 2];
        points.push_back({before.x + start.stepX, before.y + start.stepY});
        const std::size_t n = points.size();
        if (pastFarEdge(points[n - 1], start, width, height) &&
            pastFarEdge(points[n - 2], start, width, height))
            break;
    }

    const auto colourCount =
        static_cast<std::int32_t>(base::roundHalfEven(static_cast<double>(points.size()) / 2));
    blendColours(colour1, colour2, colourCount, sweep.colours);
    return sweep;
}

} // namespace vexa::notify
