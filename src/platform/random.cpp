// The one process-wide random generator: a 31-bit multiplicative congruential generator (multiplier
// 48271, modulus 2^31 - 1), stepped with Schrage's method so no product overflows 32 bits. Runs seeded
// with the same number draw the same numbers, which replays and tests rely on.
#include "platform/random.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int32_t Multiplier = 48271;
constexpr int32_t Modulus = 0x7FFFFFFF;
constexpr int32_t SchrageQ = 44488; // Modulus / Multiplier
constexpr int32_t SchrageR = 3399;  // Modulus % Multiplier
constexpr int32_t FallbackSeed = 0x1234;

int32_t generatorState = FallbackSeed;

int32_t nextState() {
    const int32_t high = generatorState / SchrageQ;
    const int32_t low = generatorState % SchrageQ;
    int32_t next = Multiplier * low - SchrageR * high;
    if (next <= 0) next += Modulus;
    generatorState = next;
    return next;
}

// Two successive states give one real in [0, 1): 27 bits from the first, 2 more bits from the second.
double nextUnitReal() {
    const int32_t first = nextState();
    const int32_t second = nextState();
    return (static_cast<double>(first & 0x1FFFFFFC) +
            static_cast<double>(second & 0x1FFFFFF8) / 134217728.0) /
           536870912.0;
}

} // namespace

void seedRandom(int seed) {
    // 0 and 2^31 - 1 are fixed points of the generator: it would return them for ever.
    int32_t state = seed & Modulus;
    if (state == 0 || state == Modulus) state = FallbackSeed;
    generatorState = state;
}

double randomReal(double min, double max) {
    if (max < min) std::swap(min, max);
    const double value = min + nextUnitReal() * (max - min);
    // Rounding can land exactly on max for wide ranges; the interval stays half-open.
    if (value >= max && max > min) return std::nextafter(max, min);
    return value;
}

int randomInteger(int min, int max) {
    if (max < min) std::swap(min, max);
    // The span is computed in 64 bits: max - min + 1 overflows an int for the widest ranges.
    const int64_t span = static_cast<int64_t>(max) - min + 1;
    const int64_t offset = static_cast<int64_t>(nextUnitReal() * static_cast<double>(span));
    return static_cast<int>(min + offset);
}

int32_t randomState() {
    return generatorState;
}
