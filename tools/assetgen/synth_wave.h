// Finishing generated sounds: levels, click-free edges, seamless loops, and the WAVE layout.
#pragma once

#include <cstdint>
#include <vector>

namespace synth {

using TSamples = std::vector<double>;
using TBytes = std::vector<std::uint8_t>;

// Scales the clip so that its loudest sample reaches `peak` (a fraction of full scale).
void normalise(TSamples& samples, double peak);
// Takes out any constant offset; a loop's mean is exact, unlike a filter's settling.
void removeDc(TSamples& samples);
// Raised-cosine ramps at both ends so a one-shot starts and stops at silence.
void fadeEdges(TSamples& samples, int fadeInSamples, int fadeOutSamples);
// Turns a render of `length` + overlap samples into a loop of `length`: the overlap is crossfaded into the
// start, so the last sample of the loop flows into its first as it did in the render.
TSamples closeLoop(const TSamples& rendered, int length);

// Plain 44-byte-header PCM WAVE files.
TBytes encodeWave16Mono(const TSamples& samples, int sampleRate);
TBytes encodeWave8Stereo(const TSamples& left, const TSamples& right, int sampleRate);

} // namespace synth
