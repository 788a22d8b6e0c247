// The math library calls the game makes, each over a million inputs of the ranges it makes them with,
// written as raw result bits to the file named on the command line. Built once natively and once with emcc
// for Node, the two outputs compare result by result (scripts/web-replays.sh), which tells whether the
// desktop's C library and Emscripten's give the game the same numbers, and where they do not.
//
// The inputs come from a fixed generator of our own, so both builds see the same ones.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

uint64_t generatorState = 0x9e3779b97f4a7c15u;

// Uniform in [low, high), the same sequence on every platform (integer arithmetic only).
double uniform(double low, double high) {
    generatorState ^= generatorState << 13;
    generatorState ^= generatorState >> 7;
    generatorState ^= generatorState << 17;
    return low + (high - low) * static_cast<double>(generatorState >> 11) * 0x1.0p-53;
}

// Angles in the game are degrees turned into radians from floats: the inputs are float-valued too.
double floatValued(double value) {
    return static_cast<double>(static_cast<float>(value));
}

FILE* results = nullptr;

void writeResult(double value) {
    std::fwrite(&value, sizeof value, 1, results);
}

constexpr int Samples = 1000000;
constexpr double DegreesToRadians = 3.14159265358979323846 / 180.0;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !(results = std::fopen(argv[1], "wb"))) {
        std::fprintf(stderr, "usage: %s RESULTS_FILE\n", argv[0]);
        return 2;
    }
    // One block per function, in this order; the comparison names them by position.
    for (int i = 0; i < Samples; ++i)
        writeResult(std::sin(floatValued(uniform(-720, 720)) * DegreesToRadians));
    for (int i = 0; i < Samples; ++i)
        writeResult(std::cos(floatValued(uniform(-720, 720)) * DegreesToRadians));
    for (int i = 0; i < Samples; ++i)
        writeResult(std::acos(floatValued(uniform(-1, 1))));
    for (int i = 0; i < Samples; ++i) {
        // Drawn one after the other: the order of a call's argument evaluation differs between compilers.
        const double y = floatValued(uniform(-1200, 1200));
        const double x = floatValued(uniform(-1200, 1200));
        writeResult(std::atan2(y, x));
    }
    for (int i = 0; i < Samples; ++i)
        writeResult(std::exp(uniform(-20, 5)));
    for (int i = 0; i < Samples; ++i)
        writeResult(std::fmod(uniform(-1e4, 1e4), 360.0));
    for (int i = 0; i < Samples; ++i)
        writeResult(static_cast<double>(std::sqrt(static_cast<float>(uniform(0, 1e6)))));
    for (int i = 0; i < Samples; ++i)
        writeResult(std::sqrt(uniform(0, 1e6)));
    // A float vector turned by a float angle as the game turns headings and velocities: cosine and sine
    // in double, the sums rounded to float. A last-bit difference above shows here only when it moves a
    // rounded coordinate.
    for (int i = 0; i < Samples; ++i) {
        const double x = floatValued(uniform(-1200, 1200));
        const double y = floatValued(uniform(-1200, 1200));
        const double radians = floatValued(uniform(-45, 45)) * DegreesToRadians;
        writeResult(static_cast<float>(x * std::cos(radians) + y * std::sin(radians)));
    }
    return std::fclose(results) == 0 ? 0 : 1;
}
