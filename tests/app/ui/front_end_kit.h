// A whole game for the menu and page tests, with the two things they look at besides the screen: the
// menu clicks playing in the sound bank, and a joypad whose fields the test sets as a poll would.
#pragma once

#include "audio/sound_bank.h"
#include "harness/game_fixture.h"
#include "input/joypad.h"
#include "platform/sound.h"

class FrontEndGameTest : public GameTest {
protected:
    // Menu clicks are the only effects the front end plays, so busy pool channels count them.
    int menuSoundsPlaying() const {
        int busy = 0;
        for (const SoundChannel& channel : game->sounds->pool)
            busy += isChannelPlaying(channel) ? 1 : 0;
        return busy;
    }

    // No buttons down and the stick at rest.
    TJoypad& plugJoypad() {
        game->joypad = std::make_shared<TJoypad>();
        return *game->joypad;
    }
};
