// The limiter on the mixed output, on mixes made from the game's own embedded sounds: a volley of fire,
// shot bursts and explosions with a bomb over the play track never reaches full scale, while one effect
// alone, or the music alone, keeps its level.
#include "platform/assets.h"
#include "platform/mixer.h"
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr size_t PassFrames = 256; // what the audio device asks for at a time

SoundClip loadClip(const std::string& name, int flags = 0) {
    registerEmbeddedAssets();
    SoundClip clip = loadSoundClip("incbin::" + name, flags);
    waitForSoundClip(clip);
    return clip;
}

struct TCue {
    double at; // seconds
    SoundClip clip;
    float gain;
    float speed;
    bool explosion; // takes the next voice of a ring of five, cutting off the one five explosions back
};

// Plays the cues through a mixer pass by pass, as the audio device would, and returns the output.
std::vector<int16_t> mixScript(std::vector<TCue> cues, double seconds, bool limited) {
    std::stable_sort(cues.begin(), cues.end(), [](const TCue& a, const TCue& b) { return a.at < b.at; });
    TMixer mixer;
    mixer.setLimiter(limited);
    int ring[5];
    for (int& voice : ring)
        voice = mixer.addVoice();
    int ringCursor = 0;
    const auto frames = static_cast<size_t>(seconds * TMixer::OutputRate);
    std::vector<int16_t> output(frames * 2);
    size_t next = 0;
    for (size_t done = 0; done < frames; done += PassFrames) {
        const double now = static_cast<double>(done) / TMixer::OutputRate;
        for (; next < cues.size() && cues[next].at <= now; ++next) {
            const TCue& cue = cues[next];
            const int voice = cue.explosion ? ring[ringCursor] : mixer.addVoice();
            if (cue.explosion) ringCursor = (ringCursor + 1) % 5;
            mixer.play(voice, cue.clip, true);
            mixer.setGain(voice, cue.gain);
            mixer.setSpeed(voice, cue.speed);
            mixer.setPaused(voice, false);
        }
        mixer.mix(output.data() + done * 2, std::min(PassFrames, frames - done));
    }
    return output;
}

size_t fullScaleSamples(const std::vector<int16_t>& samples) {
    return static_cast<size_t>(
        std::count_if(samples.begin(), samples.end(), [](int16_t s) { return s == 32767 || s == -32768; }));
}

double rmsDb(const std::vector<int16_t>& samples, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, samples.size());
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return 10 * std::log10(sum / static_cast<double>(to - from) + 1e-9);
}

double peakDb(const std::vector<int16_t>& samples) {
    int peak = 1;
    for (const int16_t s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return 20 * std::log10(peak);
}

// A fixed pseudo-random rate for each explosion, 0.7..1.0, as the sound bank draws them.
float explosionRate(int index) {
    return 0.7f + 0.3f * static_cast<float>((index * 7919) % 1000) / 1000.0f;
}

struct TGameSounds {
    SoundClip playMusic = loadClip("music_play.ogg", 1);
    SoundClip titleMusic = loadClip("music_title.ogg", 1);
    SoundClip fire = loadClip("fx_player_fire.wav");
    SoundClip shotBurst = loadClip("fx_bull_expl.wav");
    SoundClip explosion = loadClip("fx_expl.wav");
    SoundClip holeExplosion = loadClip("fx_hole_expl.wav");
    SoundClip multiplier = loadClip("fx_ding1.wav");
};

const TGameSounds& sounds() {
    static const TGameSounds loaded;
    return loaded;
}

// Ten seconds of play at the default volumes: the play track at a quarter, the weapon's volley every
// 0.12 s with its two shots bursting on the wall half a second later, an enemy shot down every 0.3 s
// with now and then a multiplier ding, and at five seconds a bomb that takes twenty enemies at once.
std::vector<TCue> loudPlay() {
    const TGameSounds& s = sounds();
    std::vector<TCue> cues{{0, s.playMusic, 0.25f, 1, false}};
    for (double t = 0.1; t < 10; t += 0.12) {
        cues.push_back({t, s.fire, 1, 0.9f, false});
        cues.push_back({t + 0.5, s.shotBurst, 1, 1, false});
        cues.push_back({t + 0.52, s.shotBurst, 1, 1, false});
    }
    int explosions = 0;
    for (double t = 0.4; t < 10; t += 0.3) {
        cues.push_back({t, s.explosion, 1, explosionRate(explosions++), true});
        if (explosions % 7 == 0) cues.push_back({t, s.multiplier, 1, 1, false});
    }
    for (int i = 0; i < 20; ++i)
        cues.push_back({5.0 + 0.015 * i, s.explosion, 1, explosionRate(explosions++), true});
    cues.push_back({5.1, s.holeExplosion, 1, 1, false});
    return cues;
}

} // namespace

TEST(MixerLimiter, ALoudVolleyOverTheMusicNeverReachesFullScaleAndStaysLoud) {
    const std::vector<TCue> cues = loudPlay();
    const std::vector<int16_t> plain = mixScript(cues, 10, false);
    const std::vector<int16_t> limited = mixScript(cues, 10, true);
    const double plainFraction = static_cast<double>(fullScaleSamples(plain)) / plain.size();
    const double limitedFraction = static_cast<double>(fullScaleSamples(limited)) / limited.size();
    std::printf("full-scale samples: %.4f %% plain, %.5f %% limited; RMS %.2f dB -> %.2f dB\n",
                100 * plainFraction, 100 * limitedFraction, rmsDb(plain), rmsDb(limited));
    // The script is as loud as play: without the limiter it clips as the game used to.
    EXPECT_GT(plainFraction, 0.001);
    EXPECT_LE(limitedFraction, 0.00001);
    // Turned down only where it has to be: the whole mix loses little of its loudness.
    EXPECT_GT(rmsDb(limited), rmsDb(plain) - 1.5);
}

TEST(MixerLimiter, OneEffectAloneOrTheMusicAloneKeepsItsLevelWithin1dB) {
    const TGameSounds& s = sounds();
    struct TAlone {
        const char* what;
        TCue cue;
        double seconds;
    };
    const TAlone alone[] = {
        {"fire", {0, s.fire, 1, 0.8f, false}, 0.5},
        {"explosion at its lowest rate", {0, s.explosion, 1, 0.7f, false}, 1},
        {"explosion", {0, s.explosion, 1, 1, false}, 1},
        {"gravity well bursting", {0, s.holeExplosion, 1, 1, false}, 1.5},
        {"multiplier ding", {0, s.multiplier, 1, 1, false}, 3},
        {"title track at full volume", {0, s.titleMusic, 1, 1, false}, 90},
        {"play track at full volume", {0, s.playMusic, 1, 1, false}, 60},
    };
    for (const TAlone& a : alone) {
        const std::vector<int16_t> plain = mixScript({a.cue}, a.seconds, false);
        const std::vector<int16_t> limited = mixScript({a.cue}, a.seconds, true);
        const double rmsChange = rmsDb(limited) - rmsDb(plain);
        const double peakChange = peakDb(limited) - peakDb(plain);
        std::printf("%s: RMS %+.3f dB, peak %+.3f dB\n", a.what, rmsChange, peakChange);
        EXPECT_LT(std::fabs(rmsChange), 1.0) << a.what;
        EXPECT_LT(std::fabs(peakChange), 1.0) << a.what;
        EXPECT_EQ(fullScaleSamples(limited), 0u) << a.what;
    }
}

// One effect over the play track is no reason to duck the music: no 50 ms stretch, during the effect or
// after it, comes out more than 1 dB quieter than the plain mix.
TEST(MixerLimiter, OneEffectOverTheMusicDoesNotPumpIt) {
    const TGameSounds& s = sounds();
    for (const SoundClip& effect : {s.explosion, s.holeExplosion, s.fire}) {
        const std::vector<TCue> cues{{0, s.playMusic, 0.25f, 1, false}, {1.0, effect, 1, 1, false}};
        const std::vector<int16_t> plain = mixScript(cues, 3, false);
        const std::vector<int16_t> limited = mixScript(cues, 3, true);
        constexpr size_t window = TMixer::OutputRate / 20 * 2;
        double worst = 0;
        for (size_t from = 0; from + window <= plain.size(); from += window)
            worst = std::min(worst, rmsDb(limited, from, from + window) - rmsDb(plain, from, from + window));
        EXPECT_GT(worst, -1.0);
    }
}

TEST(MixerLimiter, TheSameCallsGiveTheSameSound) {
    std::vector<TCue> cues = loudPlay();
    const std::vector<int16_t> first = mixScript(cues, 6, true);
    EXPECT_EQ(mixScript(cues, 6, true), first);
}

// After a burst the limiter lets go completely: once the gain is back, a quiet mix comes out exactly as
// it would with no limiter at all.
TEST(MixerLimiter, AfterLimitingTheQuietMixIsThePlainMixBitForBit) {
    auto square = [](int16_t level, size_t frames) {
        auto clip = std::make_shared<TSoundClip>();
        for (size_t i = 0; i < frames; ++i)
            clip->samples.push_back(static_cast<int16_t>((i / 50) % 2 ? level : -level));
        return clip;
    };
    const size_t burst = TMixer::OutputRate / 4, quiet = TMixer::OutputRate * 3;
    std::vector<std::vector<int16_t>> outputs;
    for (bool limited : {true, false}) {
        TMixer mixer;
        mixer.setLimiter(limited);
        const int loud = mixer.addVoice(), soft = mixer.addVoice();
        mixer.play(loud, square(30000, burst), false);
        mixer.setGain(loud, 2.0f); // far over full scale: the limiter bites hard
        mixer.play(soft, square(12345, burst + quiet), false);
        std::vector<int16_t> output((burst + quiet) * 2);
        for (size_t done = 0; done < burst + quiet; done += PassFrames)
            mixer.mix(output.data() + done * 2, std::min(PassFrames, burst + quiet - done));
        outputs.push_back(std::move(output));
    }
    EXPECT_NE(outputs[0][burst], outputs[1][burst]) << "the burst was limited";
    const size_t lastSecond = (burst + quiet - TMixer::OutputRate) * 2;
    EXPECT_TRUE(std::equal(outputs[0].begin() + static_cast<long>(lastSecond), outputs[0].end(),
                           outputs[1].begin() + static_cast<long>(lastSecond)));
}
