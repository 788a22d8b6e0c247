// TSnake (kind 7): a head that steers at random and sixteen tail segments that trail it. Only the head can
// be shot; when it dies the segments pop one after another down the tail. Snakes think on every frame.
#pragma once

#include "enemies/enemy.h"

class TSnake : public TEnemy {
public:
    static constexpr int TailSegments = 16;

    // isHead true makes a whole snake (the spawn patterns pass delay 0.01, scale 1.0 and no leader); false
    // makes one tail segment following leader. Null, and nothing made, while the game's snakeCount is at
    // its snakeLimit.
    static std::shared_ptr<TSnake> create(float x, float y, bool isHead, float delay, float scale,
                                          const std::shared_ptr<TEnemy>& leader);

    // Every frame, not every second one.
    void update(float dt) override { dispatchState(dt); }
    EnemyKind kind() const override { return EnemyKind::Snake; }
    bool isTailSegment() const override { return !isHead; }

    bool isHead = false;
    float delay = 0;                // tail segment: seconds between dying and popping
    std::shared_ptr<TEnemy> leader; // tail segment: the head or segment it follows

protected:
    void activeStep(float dt) override;
    // The head breaks apart; a segment waits out its delay and pops.
    void dyingStep(float dt) override;
    // Only the head can be hit, and only a head counts off the snakes.
    bool hitByKind(float dt) override;

private:
    void makeTail(float x, float y);
    void steerHead(float dt);
    void followLeader();
    void pop(float dt);
};
