// Level, edge and loop finishing of generated sounds, and the WAVE layout the game's reader expects.
#include "synth_wave.h"

#include "synth_math.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace synth {

namespace {

// Raised-cosine ramp from exactly 0 at x = 0 towards 1 at x = 1 (written as a squared sine, which is exact at
// 0).
double easeIn(double x) {
    const double s = sinCycles(0.25 * x);
    return s * s;
}

} // namespace

void normalise(TSamples& samples, double peak) {
    double loudest = 0.0;
    for (double s : samples)
        loudest = std::max(loudest, std::fabs(s));
    if (loudest <= 0.0) return;
    const double gain = peak / loudest;
    for (double& s : samples)
        s *= gain;
}

void removeDc(TSamples& samples) {
    if (samples.empty()) return;
    double sum = 0.0;
    for (double s : samples)
        sum += s;
    const double mean = sum / static_cast<double>(samples.size());
    for (double& s : samples)
        s -= mean;
}

void fadeEdges(TSamples& samples, int fadeInSamples, int fadeOutSamples) {
    const int count = static_cast<int>(samples.size());
    fadeInSamples = std::min(fadeInSamples, count);
    fadeOutSamples = std::min(fadeOutSamples, count);
    // The ramps reach exactly zero at the outermost samples.
    for (int i = 0; i < fadeInSamples; ++i)
        samples[i] *= easeIn(static_cast<double>(i) / fadeInSamples);
    for (int i = 0; i < fadeOutSamples; ++i)
        samples[count - 1 - i] *= easeIn(static_cast<double>(i) / fadeOutSamples);
}

TSamples closeLoop(const TSamples& rendered, int length) {
    const int overlap = static_cast<int>(rendered.size()) - length;
    if (overlap < 0) throw std::invalid_argument("closeLoop: render shorter than the loop");
    TSamples loop(rendered.begin(), rendered.begin() + length);
    // Sample i of the loop plays right after sample length - 1, where the render had rendered[length + i]:
    // start with that and hand over smoothly to the loop's own start.
    for (int i = 0; i < overlap; ++i) {
        const double towardsOwn = easeIn(static_cast<double>(i) / overlap);
        loop[i] = rendered[length + i] * (1.0 - towardsOwn) + rendered[i] * towardsOwn;
    }
    return loop;
}

namespace {

void putU16(TBytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void putU32(TBytes& out, std::uint32_t value) {
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

void putTag(TBytes& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

TBytes waveHeader(int channels, int sampleRate, int bitsPerSample, std::uint32_t dataBytes) {
    const int blockAlign = channels * bitsPerSample / 8;
    TBytes out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    putU32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16);
    putU16(out, 1); // integer PCM
    putU16(out, static_cast<unsigned>(channels));
    putU32(out, static_cast<std::uint32_t>(sampleRate));
    putU32(out, static_cast<std::uint32_t>(sampleRate * blockAlign));
    putU16(out, static_cast<unsigned>(blockAlign));
    putU16(out, static_cast<unsigned>(bitsPerSample));
    putTag(out, "data");
    putU32(out, dataBytes);
    return out;
}

long quantise(double sample, double fullScale) {
    return static_cast<long>(std::floor(clampUnit(sample) * fullScale + 0.5));
}

} // namespace

TBytes encodeWave16Mono(const TSamples& samples, int sampleRate) {
    TBytes out = waveHeader(1, sampleRate, 16, static_cast<std::uint32_t>(samples.size() * 2));
    for (double s : samples)
        putU16(out, static_cast<unsigned>(quantise(s, 32767.0)) & 0xFFFF);
    return out;
}

TBytes encodeWave8Stereo(const TSamples& left, const TSamples& right, int sampleRate) {
    if (left.size() != right.size()) throw std::invalid_argument("encodeWave8Stereo: channel lengths differ");
    TBytes out = waveHeader(2, sampleRate, 8, static_cast<std::uint32_t>(left.size() * 2));
    for (std::size_t i = 0; i < left.size(); ++i) {
        // 8-bit WAVE samples are unsigned with silence at 128.
        out.push_back(static_cast<std::uint8_t>(128 + quantise(left[i], 127.0)));
        out.push_back(static_cast<std::uint8_t>(128 + quantise(right[i], 127.0)));
    }
    return out;
}

} // namespace synth
