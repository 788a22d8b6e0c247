#include "enemies/chaser.h"

std::shared_ptr<TChaser> TChaser::create(float x, float y) {
    return makeListed<TChaser>(
        x, y, {.damping = 0.96f, .maxSpeed = 550, .shapeFile = "enemy1.xml", .radius = 32, .points = 50});
}

void TChaser::activeStep(float) {
    seekPlayer(chaserHoming);
    separate();
    checkPlayerCollision(0);
}
