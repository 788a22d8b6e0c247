// The saved music volume holds from the first sample the title track plays and through every switch of
// track: START, an abandoned run and the way back from game over. The mixer is watched after every
// change the game makes to it, so a moment in which a track could be mixed at another gain is seen even
// though the audio thread may not have mixed it.
#include "app/states_kit.h"
#include "platform/mixer.h"
#include "platform/sound_probe.h"

#include <string>
#include <vector>

namespace {

struct THeard {
    const TSoundClip* clip;
    float gain;
};

class MusicVolumeTest : public StatesTest {
protected:
    void TearDown() override {
        watchMixer({});
        StatesTest::TearDown();
    }

    // From now on, every voice the mixer could be playing after each change.
    void listen() {
        heard.clear();
        watchMixer([this](const TMixer& mixer) {
            for (int voice = 0; voice < mixer.voiceCount(); ++voice) {
                if (mixer.isPlaying(voice) && !mixer.isPaused(voice))
                    heard.push_back({mixer.clip(voice), mixer.gain(voice)});
            }
        });
    }

    // How often since listen() the track could be heard at all, and at a gain other than the one given.
    std::pair<int, int> timesHeard(const SoundClip& track, float gain) const {
        int times = 0, wrong = 0;
        for (const THeard& h : heard) {
            if (h.clip != track.get()) continue;
            ++times;
            if (h.gain != gain) ++wrong;
        }
        return {times, wrong};
    }

    bool audible(const SoundChannel& channel) const {
        bool on = false;
        inspectMixer([&](const TMixer& mixer) {
            const int voice = channelVoice(channel);
            on = mixer.isPlaying(voice) && !mixer.isPaused(voice);
        });
        return on;
    }

    std::vector<THeard> heard;
};

TEST_F(MusicVolumeTest, EachTrackPlaysAtTheSavedVolumeFromItsFirstSampleAndAfterEverySwitch) {
    for (int option = 0; option <= 4; ++option) {
        SCOPED_TRACE("music option " + std::to_string(option));
        const float volume = 0.25f * static_cast<float>(option);
        {
            const TextFile file = openTextForWrite("config.ini");
            writeTextLine(file, "[Sound]");
            writeTextLine(file, std::to_string(option));
            writeTextLine(file, "4");
            closeTextFile(file);
        }
        delete game;
        game = nullptr;
        listen();
        createGame();
        ASSERT_FLOAT_EQ(game->musicVolume, volume);
        auto [times, wrong] = timesHeard(game->titleMusic, volume);
        EXPECT_GT(times, 0) << "start: the title track never played";
        EXPECT_EQ(wrong, 0) << "start: the title track could be heard at another gain";
        stepFrames(2);

        // START: the play track at a quarter of the music volume, the title track paused.
        listen();
        tapKey(Key::Enter);
        stepFrames(1);
        ASSERT_EQ(game->state, GameState::Play);
        std::tie(times, wrong) = timesHeard(game->playMusic, volume / 4);
        EXPECT_GT(times, 0) << "START: the play track never played";
        EXPECT_EQ(wrong, 0) << "START: the play track could be heard at another gain";
        EXPECT_EQ(timesHeard(game->titleMusic, volume).second, 0) << "START";
        EXPECT_FALSE(audible(game->titleChannel));
        EXPECT_TRUE(audible(game->playChannel));

        // Escape abandons the run: the title track again, from its start.
        listen();
        tapKey(Key::Escape);
        stepFrames(1);
        ASSERT_EQ(game->state, GameState::Title);
        std::tie(times, wrong) = timesHeard(game->titleMusic, volume);
        EXPECT_GT(times, 0) << "abandoned run: the title track never played";
        EXPECT_EQ(wrong, 0) << "abandoned run: the title track could be heard at another gain";
        EXPECT_EQ(timesHeard(game->playMusic, volume / 4).second, 0) << "abandoned run";
        EXPECT_FALSE(audible(game->playChannel));
        EXPECT_TRUE(audible(game->titleChannel));

        // A second run, ended by game over and left with Enter.
        listen();
        tapKey(Key::Enter);
        stepFrames(1);
        ASSERT_EQ(game->state, GameState::Play);
        EXPECT_EQ(timesHeard(game->playMusic, volume / 4).second, 0) << "second START";
        game->enterGameOver();
        stepFrames(1);
        listen();
        tapKey(Key::Enter);
        stepFrames(1);
        ASSERT_EQ(game->state, GameState::Title);
        std::tie(times, wrong) = timesHeard(game->titleMusic, volume);
        EXPECT_GT(times, 0) << "game over: the title track never played";
        EXPECT_EQ(wrong, 0) << "game over: the title track could be heard at another gain";
        EXPECT_FALSE(audible(game->playChannel));
        EXPECT_TRUE(audible(game->titleChannel));
        watchMixer({});
    }
}

} // namespace
