#pragma once

namespace vexa::base {

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kPointsPerInch = 72.0;

// A length in twips (1440 to the inch), the unit cover sizes are given in. A type of its own,
// so that a size in twips cannot be passed where points or device units are meant.
class Twips {
public:
    constexpr explicit Twips(double count) : m_count(count) {}

    constexpr double count() const { return m_count; }
    // On an axis of the given resolution; fractions are kept.
    constexpr double toDevice(double dotsPerInch) const {
        return m_count * dotsPerInch / kTwipsPerInch;
    }
    constexpr double toPoints() const { return toDevice(kPointsPerInch); }

    // Spelled out rather than <=>: Qt's moc cannot read <compare>, and this header reaches
    // headers that moc reads.
    friend constexpr bool operator==(Twips a, Twips b) { return a.m_count == b.m_count; }
    friend constexpr bool operator!=(Twips a, Twips b) { return a.m_count != b.m_count; }
    friend constexpr bool operator<(Twips a, Twips b) { return a.m_count < b.m_count; }
    friend constexpr bool operator>(Twips a, Twips b) { return a.m_count > b.m_count; }
    friend constexpr bool operator<=(Twips a, Twips b) { return a.m_count <= b.m_count; }
    friend constexpr bool operator>=(Twips a, Twips b) { return a.m_count >= b.m_count; }

private:
    double m_count;
};

// Twips to device units on an axis of the given resolution; fractions are kept.
constexpr double twipsToDevice(Twips length, double dotsPerInch) {
    return length.toDevice(dotsPerInch);
}

} // namespace vexa::base
