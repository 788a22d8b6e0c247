// Recording runs and playing them back, on the game's side of the run tape.
//
// Sections: carried state · checks · recording · playback · verification.
//
// A run is bounded by two calls the states already make: START (runStarted, after the run's reset) and
// the next startRun (runLeaving, before the reset). Both fall in the middle of a frame, so the tape and
// the frame count start and stop at the frame boundary that follows.
#include "app/run_recording.h"

#include "app/game.h"
#include "app/settings/run_store.h"
#include "app/settings/settings_file.h"
#include "app/state_hash.h"
#include "app/ui/menu.h"
#include "enemies/level_director.h"
#include "enemies/spawn_pattern.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/arena_border.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/scroll.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "scores/hiscore_table.h"

#include <optional>
#include <utility>

const std::array<const char*, 5> RunCheckParts = {"random", "player", "enemies", "shots", "level"};

// --- Carried state -------------------------------------------------------------------------------------

TRecordResult TRecordResult::of(const TScoreRecord& r) {
    return {r.name, r.brag, r.score, r.kills, r.shotsFired, r.shotsHit};
}

void TRecordResult::copyInto(TScoreRecord& r) const {
    r.name = name, r.brag = brag, r.score = score, r.kills = kills;
    r.shotsFired = shotsFired, r.shotsHit = shotsHit;
}

namespace {

TParticleState particleState(const TParticle& p) {
    return {p.position, p.previousPosition, p.acceleration, p.velocity, p.maxSpeed, p.damping, p.keepsMargin};
}

void setParticle(TParticle& p, const TParticleState& s) {
    p.position = s.position, p.previousPosition = s.previousPosition, p.acceleration = s.acceleration;
    p.velocity = s.velocity, p.maxSpeed = s.maxSpeed, p.damping = s.damping, p.keepsMargin = s.keepsMargin;
}

// What was flying before the run started goes on flying in it: a shot of an abandoned run can still
// strike, and a bomb's wave still shoves and blocks the next bomb.
void replaceFlyingObjects(TGame& g, const TCarriedState& s) {
    g.shots.forEach([&](TShot& shot) {
        g.particles.remove(shot.particle.get());
        g.shots.remove(&shot);
    });
    g.shockwaves.forEach([&](TShockwave& wave) { g.shockwaves.remove(&wave); });
    g.player->activeBomb.reset();
    g.popups.forEach([&](TPopupText& popup) { g.popups.remove(&popup); });
    for (const TShotState& recorded : s.shots) {
        auto shot = TShot::create(recorded.particle.position, TVector());
        shot->life = recorded.life;
        setParticle(*shot->particle, recorded.particle);
    }
    for (const TWaveState& recorded : s.waves) {
        auto wave = TShockwave::create(recorded.particle.position, recorded.maxRadius,
                                       recorded.destroysEnemies, 0, 0);
        wave->radius = recorded.radius;
        wave->alpha = recorded.alpha;
        setParticle(*wave->particle, recorded.particle);
        if (recorded.isActiveBomb) g.player->activeBomb = wave;
    }
    for (const TPopupState& recorded : s.popups)
        TPopupText::create(recorded.text, recorded.x, recorded.y)->scale = recorded.scale;
}

} // namespace

TCarriedState TCarriedState::capture(const TGame& g, bool withFlyingObjects) {
    TCarriedState s;
    s.randomState = ::randomState();
    for (int i = 0; i < 4; ++i)
        s.options[static_cast<size_t>(i)] = g.configMenu->items[static_cast<size_t>(i)].current;
    s.configSelected = g.configMenu->selected;
    s.joyPort = g.player->joyPort;
    s.pad = *g.joypad;
    s.fireDelay = g.player->fireDelay, s.blinkTime = g.player->blinkTime;
    s.scroll = worldScrollOffset();
    s.craft = particleState(*g.player->particle);
    s.border = particleState(*g.border->particle);
    const TScoreRecord& stats = g.player->stats;
    s.entryStep = stats.entryStep, s.nameInput = stats.nameInput, s.bragInput = stats.bragInput;
    for (size_t i = 0; i < s.table.size(); ++i)
        s.table[i] = TRecordResult::of(*g.hiscores->entries[i]);
    for (const auto& pattern : g.levelDirector->patterns) {
        const TSpawnPattern& p = *pattern;
        s.patterns.push_back(
            {p.phase, p.choice, p.remaining, p.groupLimit, p.waitTime, p.stepTime, p.spawnPoint});
    }
    if (withFlyingObjects) {
        const_cast<TGame&>(g).shots.forEach([&](TShot& shot) {
            s.shots.push_back({shot.life, particleState(*shot.particle)});
        });
        const_cast<TGame&>(g).shockwaves.forEach([&](TShockwave& wave) {
            s.waves.push_back({wave.radius, wave.maxRadius, wave.alpha, wave.destroysEnemies,
                               g.player->activeBomb.get() == &wave, particleState(*wave.particle)});
        });
        const_cast<TGame&>(g).popups.forEach([&](TPopupText& popup) {
            s.popups.push_back({popup.text, popup.x, popup.y, popup.scale});
        });
    }
    return s;
}

void TCarriedState::apply(TGame& g, bool keepVolumes) const {
    seedRandom(randomState);
    if (!keepVolumes) applyVolumes(g, options[0], options[1]);
    applyGrid(g, options[2]);
    applyControlMode(g, options[3]);
    g.configMenu->selected = configSelected;
    g.player->joyPort = joyPort;
    *g.joypad = pad;
    g.player->fireDelay = fireDelay, g.player->blinkTime = blinkTime;
    worldScrollOffset() = scroll;
    setParticle(*g.player->particle, craft);
    setParticle(*g.border->particle, border);
    TScoreRecord& stats = g.player->stats;
    stats.entryStep = entryStep, stats.nameInput = nameInput, stats.bragInput = bragInput;
    for (size_t i = 0; i < table.size(); ++i)
        table[i].copyInto(*g.hiscores->entries[i]);
    g.hiscores->sort();
    const auto& live = g.levelDirector->patterns;
    for (size_t i = 0; i < patterns.size() && i < live.size(); ++i) {
        TSpawnPattern& p = *live[i];
        const TPatternState& s = patterns[i];
        p.phase = s.phase, p.choice = s.choice, p.remaining = s.remaining, p.groupLimit = s.groupLimit;
        p.waitTime = s.waitTime, p.stepTime = s.stepTime, p.spawnPoint = s.spawnPoint;
        p.groupCount(); // the enemies it tracked have all left with the last run
    }
}

// --- Checks --------------------------------------------------------------------------------------------

namespace {

uint32_t folded(uint64_t hash) {
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

// The level's part as the replays hash it, except that a pattern's group counts only the enemies still
// in the arena: the ones that left with the last run are dropped at the pattern's next look, and how
// many were left over is the last run's business, not this one's.
uint32_t levelCheck(TGame& g) {
    const TLevelDirector& director = *g.levelDirector;
    uint64_t hash = 0xcbf29ce484222325ull;
    auto add = [&hash](const auto& value) {
        const auto* byte = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof value; ++i)
            hash = (hash ^ byte[i]) * 0x100000001b3ull;
    };
    add(director.level), add(director.levelTime), add(director.waveBusy);
    for (const auto& pattern : director.patterns) {
        int inArena = 0;
        for (const auto& enemy : pattern->group)
            inArena += g.enemies.contains(enemy.get()) ? 1 : 0;
        add(pattern->phase), add(pattern->waitTime), add(pattern->stepTime), add(pattern->choice),
            add(inArena);
        add(pattern->remaining), add(pattern->groupLimit), add(pattern->spawnPoint.x),
            add(pattern->spawnPoint.y);
    }
    return folded(hash);
}

TRunCheck takeCheck(TGame& g, int frame) {
    TRunCheck check;
    check.frame = frame;
    for (const TStateHash& part : hashGameState(g)) {
        for (size_t i = 0; i < RunCheckParts.size(); ++i)
            if (part.part == RunCheckParts[i]) check.parts[i] = folded(part.hash);
    }
    check.parts[4] = levelCheck(g);
    return check;
}

bool checkDue(int frame) {
    return (frame + 1) % RunCheckFrames == 0;
}

// --- Recording -----------------------------------------------------------------------------------------

enum class RecorderPhase { Idle, Armed, Recording, Ending };

struct TRecorder {
    RecorderPhase phase = RecorderPhase::Idle;
    TRun run;
    int frame = 0;
};

TRecorder recorder;
TRun finishedRun;
void (*finishedHandler)(const TRun&) = nullptr;

// --- Playback ------------------------------------------------------------------------------------------

struct TPlayback {
    TRun run;
    bool started = false;
    bool leaving = false;
    int frame = 0;
    size_t nextCheck = 0;
    TRunVerdict verdict;
};

std::optional<TPlayback> playback;
TRunVerdict lastVerdict;

void refuse(TPlayback& p, int frame, const std::string& reason) {
    p.verdict.ended = true;
    p.verdict.matched = false;
    p.verdict.frame = frame;
    p.verdict.reason = reason;
    p.verdict.frames = frame + 1;
}

std::string differingParts(const TRunCheck& recorded, const TRunCheck& now) {
    std::string parts;
    for (size_t i = 0; i < recorded.parts.size(); ++i)
        if (recorded.parts[i] != now.parts[i])
            parts += (parts.empty() ? "" : ", ") + std::string(RunCheckParts[i]);
    return parts;
}

void judgeEnd(TPlayback& p) {
    const TRun& run = p.run;
    TRunVerdict& v = p.verdict;
    v.ended = true;
    v.frames = p.frame + 1;
    if (v.frames != run.frames) {
        refuse(p, p.frame,
               "the run ends in frame " + std::to_string(p.frame) + ", the file says " +
                   std::to_string(run.frames - 1));
    } else if (!(v.result == run.result) || v.level != run.level) {
        refuse(p, p.frame,
               "the run ends with " + std::to_string(v.result.score) + " points at level " +
                   std::to_string(v.level) + ", the file claims " + std::to_string(run.result.score) +
                   " at level " + std::to_string(run.level));
    } else {
        v.matched = true;
    }
}

// One frame of a playback has ended: its check, then whether the run is over.
void playbackFrameEnded(TPlayback& p) {
    if (p.verdict.ended) return;
    if (checkDue(p.frame) && !p.leaving) {
        const TRunCheck now = takeCheck(*game, p.frame);
        const auto& checks = p.run.checks;
        if (p.nextCheck < checks.size() && checks[p.nextCheck].frame == p.frame) {
            if (!(checks[p.nextCheck] == now)) {
                refuse(p, p.frame,
                       "the game's state differs in frame " + std::to_string(p.frame) + " (" +
                           differingParts(checks[p.nextCheck], now) + ")");
                return;
            }
            ++p.nextCheck;
        }
    }
    if (p.leaving) {
        judgeEnd(p);
    } else if (p.frame + 1 >= p.run.frames) {
        refuse(p, p.frame, "the recording ends in frame " + std::to_string(p.frame) + " and the run goes on");
    }
    ++p.frame;
}

} // namespace

// --- Recording hooks -----------------------------------------------------------------------------------

void runStarted() {
    if (playback) return;
    if (runTapeRecording()) finishRunTape();
    recorder = TRecorder{};
    recorder.run.start = TCarriedState::capture(*game, true);
    armRunTape(game->lastFrameTime);
    recorder.phase = RecorderPhase::Armed;
}

void runLeaving() {
    if (playback && playback->started && !playback->leaving) {
        playback->leaving = true;
        playback->verdict.result = TRecordResult::of(game->player->stats);
        playback->verdict.level = game->levelDirector->level;
    }
    if (recorder.phase != RecorderPhase::Recording) return;
    recorder.run.result = TRecordResult::of(game->player->stats);
    recorder.run.level = game->levelDirector->level;
    recorder.phase = RecorderPhase::Ending;
}

void runFrameEnded() {
    switch (recorder.phase) {
    case RecorderPhase::Idle:
        break;
    case RecorderPhase::Armed:
        recorder.phase = RecorderPhase::Recording;
        recorder.frame = 0;
        break;
    case RecorderPhase::Recording:
    case RecorderPhase::Ending:
        // The frame that leaves the run has reseeded the generator from the clock: the record, the level
        // and the frame count judge it instead.
        if (checkDue(recorder.frame) && recorder.phase == RecorderPhase::Recording)
            recorder.run.checks.push_back(takeCheck(*game, recorder.frame));
        if (recorder.phase == RecorderPhase::Ending) {
            recorder.run.frames = recorder.frame + 1;
            runTapeFrameEnded(); // the last frame onto the tape
            recorder.run.tape = finishRunTape();
            finishedRun = std::move(recorder.run);
            recorder = TRecorder{};
            keepFinishedRun(finishedRun, *game->hiscores);
            if (finishedHandler) finishedHandler(finishedRun);
            return;
        }
        ++recorder.frame;
        break;
    }
    if (playback) {
        if (playback->started)
            playbackFrameEnded(*playback);
        else
            playback->started = true;
    }
    runTapeFrameEnded();
}

TRun takeFinishedRun() {
    return std::exchange(finishedRun, TRun{});
}

void setRunFinishedHandler(void (*handler)(const TRun& run)) {
    finishedHandler = handler;
}

// --- Playback ------------------------------------------------------------------------------------------

void startRunPlayback(TGame& g, const TRun& run) {
    stopRunPlayback();
    if (recorder.phase != RecorderPhase::Idle) {
        finishRunTape();
        recorder = TRecorder{};
    }
    // As START does, then the recorded run's own start over it.
    g.state = GameState::Play;
    g.logoAlpha = 0;
    g.startRun();
    run.start.apply(g, true);
    replaceFlyingObjects(g, run.start);
    g.switchMusicToPlay();
    const TVector& craft = g.player->particle->position;
    g.grid->push(craft.x, craft.y, 300);
    g.lastFrameTime = 0;
    playRunTape(run.tape, 0);
    playback.emplace();
    playback->run = run;
}

bool runPlaybackActive() {
    return playback.has_value();
}

const TRunVerdict& runPlaybackVerdict() {
    return playback ? playback->verdict : lastVerdict;
}

void stopRunPlayback() {
    if (!playback) return;
    lastVerdict = playback->verdict;
    playback.reset();
    stopRunTape();
}

// --- Verification --------------------------------------------------------------------------------------

TRunVerdict verifyRun(const TRun& run, void (*beforeFrame)(TGame&)) {
    startRunPlayback(*game, run);
    runFrameEnded(); // the boundary the tape starts from, as the frame that chose the run would end
    // Each pass is the frame loop's: the screenshot key's read (a pump of the recorded frame), then the
    // frame.
    for (int guard = 0; !runPlaybackVerdict().ended && guard <= run.frames; ++guard) {
        keyHitCount(Key::Z);
        if (beforeFrame) beforeFrame(*game);
        game->frame();
    }
    TRunVerdict verdict = runPlaybackVerdict();
    if (!verdict.ended) verdict.reason = "the run did not end";
    stopRunPlayback();
    return verdict;
}
