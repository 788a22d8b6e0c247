#include "enemies/snake.h"

#include "app/game.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/spark.h"
#include "shapes/shape.h"

namespace {
constexpr float headSpeed = 250;
constexpr float steerSeconds = 0.5f;
constexpr float steerTurn = 6;
constexpr float firstPopDelay = 0.01f;
constexpr float popInterval = 0.008f;
constexpr int fullSizeSegments = 10;
constexpr float taperStep = 0.1f;
constexpr float followDivisor = 5;
} // namespace

std::shared_ptr<TSnake> TSnake::create(float x, float y, bool isHead, float delay, float scale,
                                       const std::shared_ptr<TEnemy>& leader) {
    // The segments are made before the head is counted, so only a new head can be turned away here.
    if (game->snakeCount >= game->snakeLimit) return nullptr;

    std::shared_ptr<TSnake> snake;
    if (isHead) {
        snake = makeKind<TSnake>(
            x, y, {.damping = 0.9f, .maxSpeed = 800, .shapeFile = "enemy7.xml", .radius = 24, .points = 150});
        snake->isHead = true;
        snake->makeTail(x, y);
        game->snakeCount += 1;
    } else {
        snake = makeKind<TSnake>(x, y,
                                 {.damping = 0.9f,
                                  .maxSpeed = 800,
                                  .shapeFile = "enemy7a.xml",
                                  .radius = 16 * scale,
                                  .points = 0});
        snake->shape->setScale(scale);
        snake->delay = delay;
        snake->leader = leader;
    }
    // Each segment joined the lists inside its own create, so the list holds segments 1..16 and then the
    // head: in one frame every segment follows a leader that has already moved, and a dying head is seen
    // by the whole tail in the next enemy pass.
    snake->enlist();
    return snake;
}

// Ten full-size segments, then six tapering to 0.4; each pops 0.008 s after the one before.
void TSnake::makeTail(float x, float y) {
    float segmentDelay = firstPopDelay;
    float segmentScale = 1.0f;
    std::shared_ptr<TEnemy> previous = shared_from_this();
    for (int i = 1; i <= TailSegments; ++i) {
        previous = create(x, y, false, segmentDelay, segmentScale, previous);
        if (i >= fullSizeSegments) segmentScale -= taperStep;
        segmentDelay += popInterval;
    }
}

void TSnake::activeStep(float dt) {
    if (isHead)
        steerHead(dt);
    else
        followLeader();
    // The snake alone hands its frame time to the craft's death wave, which then shoves what is near.
    checkPlayerCollision(dt);
}

void TSnake::dyingStep(float dt) {
    if (isHead)
        updateDying(dt);
    else
        pop(dt);
}

bool TSnake::hitByKind(float) {
    if (!isHead) return false;
    game->snakeCount -= 1;
    return true;
}

// Every half second of update time the head picks straight on (1 in 5) or a turn either way (2 in 5 each).
void TSnake::steerHead(float dt) {
    timer -= dt;
    if (timer < 0) {
        timer = steerSeconds;
        const int roll = randomInteger(1, 5);
        turn = roll == 1 ? 0.0f : (roll <= 3 ? steerTurn : -steerTurn);
    }
    TVector& heading = shape->heading;
    heading.rotate(turn).normalize();
    shape->needsRotation = true;
    particle->velocity.set(-heading.y, -heading.x);
    particle->velocity.scale(headSpeed);
}

// A segment closes a fifth of the gap to its leader every frame, whatever the frame time, faces along the
// gap and takes its leader's state, so a dying head carries the whole tail with it.
void TSnake::followLeader() {
    const float dx = leader->particle->position.x - particle->position.x;
    const float dy = leader->particle->position.y - particle->position.y;
    particle->position.x += dx / followDivisor;
    particle->position.y += dy / followDivisor;
    game->enemyMoved(*this);
    // On top of its leader (as the whole snake starts) there is no gap to face along: keep the old heading.
    if (dx != 0 || dy != 0) shape->heading.set(-dy, -dx);
    shape->needsRotation = true;
    state = leader->state;
}

void TSnake::pop(float dt) {
    delay -= dt;
    if (delay >= 0) return;
    burst(particle->position,
          {.count = 5, .minSpeed = 200, .maxSpeed = 400, .red = 255, .green = 200, .blue = 60});
    game->enemies.remove(this);
    game->particles.remove(particle.get());
}
