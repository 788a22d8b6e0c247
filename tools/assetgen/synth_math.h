// Arithmetic for the sound generator that gives the same bits on every machine.
//
// The generated sounds are embedded in the game and must come out byte for byte the same on every build, so
// the synthesis never calls the C library's transcendental functions (their last bits differ between library
// versions). Everything here is built from +, -, *, /, truncation and ldexp, which IEEE arithmetic rounds
// exactly the same everywhere. The accuracy (about 1e-9) is far below what 16-bit audio can show.
#pragma once

#include <cmath>
#include <cstdint>

namespace synth {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.28318530717958647692;
inline constexpr double kLn2 = 0.69314718055994530942;

// Largest integer not above x, for |x| < 2^62. Truncation is one instruction, floor() often a library call.
inline double floorFast(double x) {
    const double truncated = static_cast<double>(static_cast<long long>(x));
    return truncated > x ? truncated - 1.0 : truncated;
}

// sin(2 pi cycles): oscillators keep their phase in cycles, so this is the form they need.
inline double sinCycles(double cycles) {
    double r = cycles - floorFast(cycles);
    if (r >= 0.5) r -= 1.0;
    // Fold onto a quarter wave, where the series converges quickly.
    if (r > 0.25) {
        r = 0.5 - r;
    } else if (r < -0.25) {
        r = -0.5 - r;
    }
    const double x = r * kTwoPi;
    const double x2 = x * x;
    return x *
           (1.0 -
            x2 / 6.0 *
                (1.0 -
                 x2 / 20.0 *
                     (1.0 -
                      x2 / 42.0 *
                          (1.0 - x2 / 72.0 *
                                     (1.0 - x2 / 110.0 *
                                                (1.0 - x2 / 156.0 *
                                                           (1.0 - x2 / 210.0 *
                                                                      (1.0 - x2 / 272.0 *
                                                                                 (1.0 - x2 / 342.0)))))))));
}

inline double cosCycles(double cycles) {
    return sinCycles(cycles + 0.25);
}

inline double expDet(double x) {
    if (x < -700.0) return 0.0;
    if (x > 700.0) x = 700.0;
    const double k = floorFast(x / kLn2 + 0.5);
    const double r = x - k * kLn2;
    // |r| <= ln2 / 2: fourteen terms of the series are more than enough.
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 14; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

inline double pow2Det(double x) {
    return expDet(x * kLn2);
}

// Frequency of a note number (69 = A 440 Hz, 12 steps an octave).
inline double noteHz(double note) {
    return 440.0 * pow2Det((note - 69.0) / 12.0);
}

// Per-sample factor that shrinks a value to 1/e after `seconds`.
inline double decayFactor(double seconds, double sampleRate) {
    return expDet(-1.0 / (seconds * sampleRate));
}

inline double clampUnit(double x) {
    return x < -1.0 ? -1.0 : (x > 1.0 ? 1.0 : x);
}

// Small fast generator with a fixed seed: the noise in every sound is part of the sound.
class TNoise {
public:
    explicit TNoise(std::uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {
        if (state == 0) state = 1;
    }
    std::uint32_t next() {
        // xorshift32
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [-1, 1).
    double bipolar() { return static_cast<double>(next() >> 8) * (2.0 / 16777216.0) - 1.0; }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 8) * (1.0 / 16777216.0); }

private:
    std::uint32_t state;
};

} // namespace synth
