#pragma once

// The pseudo-random numbers of the property tests: splitmix64, so that every platform and standard
// library draws the same models.

#include <cstdint>

namespace xsect::test_support {

struct Rng {
    std::uint64_t s;
    std::uint64_t Next() {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform(double a, double b) { return a + (b - a) * static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    bool Chance(double p) { return Uniform(0.0, 1.0) < p; }
};

}  // namespace xsect::test_support
