// The splinters a splitter breaks into. The enemy base makes them through this factory so that it does not
// depend on the splinter type itself.
#pragma once

#include "play/vector.h"

#include <memory>

class TEnemy;

// Makes one active splinter at a copy of position, turning about its homing line by spin degrees per update;
// appends its particle to particles and the splinter to enemies.
std::shared_ptr<TEnemy> createSplinter(const TVector& position, float spin);
