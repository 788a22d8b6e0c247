// A game object holding just what the craft touches: the sound bank, the shapes, the grid, the arena
// border, the joypad and the world lists; no display is needed. The craft is created as the game creates it
// and stands in the particles list.
#pragma once

#include "app/game.h"
#include "audio/sound_bank.h"
#include "harness/input_driver.h"
#include "input/joypad.h"
#include "platform/assets.h"
#include "platform/program.h"
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

class PlayerTest : public ::testing::Test {
protected:
    static constexpr float Frame = 1.0f / 60.0f;

    void SetUp() override {
        useTestDrivers();
        initPlatform();
        registerEmbeddedAssets();
        seedRandom(12345);
        game = new TGame;
        game->state = GameState::Play;
        game->sounds = TSoundBank::create();
        game->playerShape = TShape::create("");
        game->shieldShape = TShape::create("");
        game->shotShape = TShape::create("");
        game->grid = TGrid::create();
        game->border = TArenaBorder::create(TShape::create(""));
        game->particles.add(game->border->particle);
        game->joypad = std::make_shared<TJoypad>();
        game->player = TPlayer::create(game->playerShape);
        game->particles.add(game->player->particle);
        player = game->player.get();
        pad = game->joypad.get();
        pad->connected = 1; // as if a pad were plugged in: without one the keys and mouse would steer
    }

    void TearDown() override {
        delete game;
        game = nullptr;
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
        TVector lead = shot.particle->velocity;
        lead.normalize().scale(24);
        TVector spawn = shot.particle->position;
        return spawn.subtract(lead);
    }

    static std::vector<TSpark*> sparks() {
        std::vector<TSpark*> all;
        game->sparks.forEach([&](TSpark& spark) { all.push_back(&spark); });
        return all;
    }

    TPlayer* player = nullptr;
    TJoypad* pad = nullptr;
};
