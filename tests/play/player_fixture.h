// A whole game in play with the craft as TPlayer::create leaves it, before any run's reset: no lives, no
// bombs, no shield. It stands in the particles list in place of the run's craft, and the joypad reads as
// plugged in, so the stick steers.
#pragma once

#include "app/game.h"
#include "audio/sound_bank.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "input/joypad.h"
#include "platform/random.h"
#include "play/arena_border.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shot.h"
#include "play/spark.h"
#include "shapes/shape.h"

#include <gtest/gtest.h>

#include <vector>

class PlayerTest : public GameTest {
protected:
    static constexpr float Frame = 1.0f / 60.0f;

    void SetUp() override {
        GameTest::SetUp();
        if (HasFatalFailure()) return;
        seedRandom(12345);
        game->state = GameState::Play;
        game->particles.remove(game->player->particle.get());
        game->player = TPlayer::create(game->playerShape);
        game->particles.add(game->player->particle);
        player = game->player.get();
        pad = game->joypad.get();
        pad->connected = 1; // as if a pad were plugged in: without one the keys and mouse would steer
    }

    int busyPoolChannels() const {
        int busy = 0;
        for (const SoundChannel& channel : game->sounds->pool)
            busy += isChannelPlaying(channel) ? 1 : 0;
        return busy;
    }

    // In list order; the list keeps them alive.
    static std::vector<TShot*> shots() {
        std::vector<TShot*> all;
        game->shots.forEach([&](TShot& shot) { all.push_back(&shot); });
        return all;
    }

    // Where the craft released the shot: a new shot starts 24 units ahead along its flight.
    static TVector spawnPoint(const TShot& shot) {
        return shot.particle->position - shot.particle->velocity.normalized() * 24;
    }

    static std::vector<TSpark*> sparks() {
        std::vector<TSpark*> all;
        game->sparks.forEach([&](TSpark& spark) { all.push_back(&spark); });
        return all;
    }

    TPlayer* player = nullptr;
    TJoypad* pad = nullptr;
};
