#include "enemies/splinter.h"

#include "play/particle.h"
#include "shapes/shape.h"

#include <cmath>

namespace {
constexpr float orbitForce = 2200;
constexpr float splinterSpinPerUpdate = -15;
} // namespace

std::shared_ptr<TSplinter> TSplinter::create(const TVector& position, float spin) {
    auto splinter = makeListed<TSplinter>(position.x, position.y,
                                          {.damping = 0.97f,
                                           .maxSpeed = 600,
                                           .shapeFile = "enemy3.xml",
                                           .radius = 16,
                                           .points = 50,
                                           .firstState = EnemyState::Active});
    splinter->shape->setScale(0.5f);
    splinter->spin = spin;
    return splinter;
}

void TSplinter::activeStep(float) {
    seekPlayer(300);
    // A force that turns with orbitAngle, added on top of the homing: the splinter corkscrews in. No
    // separation, so the three of one splitter may overlap freely.
    const double radians = degreesToRadians(orbitAngle);
    const auto s = static_cast<float>(std::sin(radians) * orbitForce);
    const auto c = static_cast<float>(std::cos(radians) * orbitForce);
    if (spin < 0)
        particle->acceleration.add({s, c});
    else
        particle->acceleration.subtract({s, c});
    orbitAngle += spin;
    shape->heading.rotate(splinterSpinPerUpdate);
    shape->needsRotation = true;
    checkPlayerCollision(0);
}
