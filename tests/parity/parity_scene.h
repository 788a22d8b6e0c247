// One scene of the whole game, stepped with a fixed clock and seed, and what the renderer was given for
// it. Run through each backend (the SDL test program in process, the null one as kelvanor_parity_null),
// the figures must agree: the null backend counts exactly what the desktop one draws.
#pragma once

#include <string>

struct TSceneCounts {
    long drawCalls = 0;
    long vertices = 0;
    long glowLines = 0;
    long frames = 0;
    bool operator==(const TSceneCounts&) const = default;
};

// Opens the platform's display (whichever backend is linked), registers the assets and plays the scene in
// a fresh scratch directory: title frames, then a run in play at a busy level with the craft firing.
// False when the display cannot be opened.
bool runParityScene(TSceneCounts& counts);

std::string describe(const TSceneCounts& counts);
// The inverse of describe; false for anything else.
bool parseCounts(const std::string& text, TSceneCounts& counts);
