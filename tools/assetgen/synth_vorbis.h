// Ogg Vorbis encoding of the generated music.
#pragma once

#include "synth_wave.h"

#include <vector>

namespace synth {

// Encodes a stereo float signal (samples in -1..1) as an Ogg Vorbis stream at the given VBR quality (0..1).
// The stream serial number is fixed, so identical input gives identical bytes.
TBytes encodeOggVorbis(const std::vector<float>& left, const std::vector<float>& right, int sampleRate,
                       float quality);

} // namespace synth
