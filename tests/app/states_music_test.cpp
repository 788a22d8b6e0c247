// The desktop backend decodes the music tracks on a thread of its own; the game must never hear a track
// before the whole of it is decoded. (The null backend never decodes music: this is the SDL backend's.)
#include "app/states_kit.h"
#include "platform/mixer.h"

namespace {

using PlayStepTest = StatesTest;

// The tracks decode in the background; neither may start playing before all of it is there.
TEST_F(PlayStepTest, EachMusicTrackIsWholeWhenItFirstPlays) {
    constexpr size_t aMinute = 44100 * 60;
    EXPECT_NE(isChannelPlaying(game->titleChannel), 0);
    EXPECT_GT(game->titleMusic->frameCount(), aMinute);
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_TRUE(playTrackStarted());
    EXPECT_GT(game->playMusic->frameCount(), aMinute);
}

} // namespace
