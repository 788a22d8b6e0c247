// The game's state as a handful of named hashes, for the checkpoints of recordings and replays: two runs
// that agree on every hash have, as far as play is concerned, the same game. Each part is hashed on its
// own so that a replay that goes astray can say where.
#pragma once

#include "platform/replay.h"

#include <vector>

class TGame;

std::vector<TStateHash> hashGameState(TGame& g);
// The program-wide game's hashes; none before it exists. This is what recordings are given.
std::vector<TStateHash> hashCurrentGame();
