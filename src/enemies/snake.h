// TSnake (kind 7): a head that steers at random and sixteen tail segments that trail it. Only the head can
// be shot; when it dies the segments pop one after another down the tail. Snakes think on every frame.
#pragma once

#include "enemies/enemy.h"

class TSnake : public TEnemy {
public:
    static constexpr int TailSegments = 16;

    // isHead 1 makes a whole snake (the spawn patterns pass delay 0.01, scale 1.0 and no leader); isHead 0
    // makes one tail segment following leader. Null, and nothing made, while the game's snakeCount is at
    // its snakeLimit.
    static std::shared_ptr<TSnake> create(float x, float y, int isHead, float delay, float scale,
                                          const std::shared_ptr<TEnemy>& leader);

    void update(float dt) override;
    int kind() const override { return EnemyKind::Snake; }

    float delay = 0;                // tail segment: seconds between dying and popping
    std::shared_ptr<TEnemy> leader; // tail segment: the head or segment it follows

private:
    void makeTail(float x, float y);
    void steerHead(float dt);
    void followLeader();
    void pop(float dt);
};
