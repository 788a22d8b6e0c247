// The one process-wide random generator: minimal standard, multiplier 48271, modulus 2^31 - 1.
#pragma once

#include <cstdint>

void seedRandom(int seed);
double randomReal(double min, double max); // [min, max); the bounds are swapped if max < min
int randomInteger(int min, int max);       // min..max inclusive
int32_t randomState();                     // for determinism checks
