// kelvanor_soak: whole runs of the real game, played by a seeded bot through the real input path with
// frame times between 1 ms and 2 s, checked after every frame.
//
//   kelvanor_soak [--runs N] [--seed S] [--max-frames F] [--kept-alive-every K] [--kept-alive-frames F]
//
// Run r of a session uses the seed S + r; a failure names that seed, so `--seed <it> --runs 1` plays the
// same run again exactly (with `--kept-alive-every 0` for a mortal run): every run starts from a fresh game
// in an empty directory, on a clock that starts at the same reading.
//
// Runs 0, K, 2K ... (K is 10 unless told) are kept alive: before every frame of play the craft's shield is
// raised again through the game's own fields, as a respawn raises it, so nothing can destroy the craft and
// the run goes on to the end of level 20, through every pattern and the fullest arenas. They get their own
// frame budget. The other runs are mortal: they lose lives, reach game over and enter names.
//
// The exit status is 0 only when every run held every check and, in a session of three runs or more, some
// run finished level 20 and every enemy kind and every spawn pattern was seen (soak/soak_coverage.h).
#include "app/entry.h"
#include "app/game.h"
#include "app/run_file.h"
#include "app/run_recording.h"
#include "app/settings/screenshot.h"
#include "harness/display_fixture.h"
#include "harness/input_driver.h"
#include "input/joypad.h"
#include "platform/assets.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "play/player.h"
#include "play/scroll.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"
#include "soak/settings_check.h"
#include "soak/soak_bot.h"
#include "soak/soak_coverage.h"
#include "soak/world_check.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct TOptions {
    int runs = 100;
    uint64_t seed = 1;
    int maxFrames = 1500;
    int keptAliveEvery = 10;
    // Twenty levels of 20 s at the bot's frame lengths (about 40 ms on average) take some 10,000 frames.
    int keptAliveFrames = 30000;
};

// The smallest session that must show everything.
constexpr int coveredSessionRuns = 3;

struct TRunResult {
    int frames = 0;
    bool keptAlive = false;
    bool gameOver = false;
    bool nameEntered = false;
    bool cut = false;
    int runsVerified = 0; // runs recorded and played again in a fresh game
    std::string failure;  // empty when every check held
};

struct TSessionTotals {
    int runs = 0, frames = 0, gameOvers = 0, namesEntered = 0, cut = 0, savesChecked = 0;
    int keptAlive = 0, finishedLevel20 = 0, livesLost = 0, runsVerified = 0;
    TBotTally bot;
    TListPeaks peaks;
    TSoakCoverage coverage;
    int framesByState[16] = {}; // by the state the frame started in
    int framesIn(GameState state) const { return framesByState[static_cast<int>(state) & 15]; }
};

bool parseOptions(int argc, char** argv, TOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (option == "--runs")
            options.runs = std::atoi(value);
        else if (option == "--seed")
            options.seed = std::strtoull(value, nullptr, 10);
        else if (option == "--max-frames")
            options.maxFrames = std::atoi(value);
        else if (option == "--kept-alive-every")
            options.keptAliveEvery = std::atoi(value);
        else if (option == "--kept-alive-frames")
            options.keptAliveFrames = std::atoi(value);
        else
            return false;
    }
    return options.runs > 0 && options.maxFrames > 0 && options.keptAliveEvery >= 0 &&
           options.keptAliveFrames > 0;
}

int clockMillis = 0;

// Where the session is, for a game that ends the process itself (a quit it should not have taken, or a
// fatal error): the exit handler still names the run and the frame, and fails the session.
struct TWhere {
    bool done = false;
    uint64_t seed = 0;
    int frame = 0;
} where;

void reportUnexpectedExit() {
    if (where.done) return;
    std::printf("SOAK FAILURE seed %llu, frame %d: the game ended the process\n",
                static_cast<unsigned long long>(where.seed), where.frame);
    std::fflush(stdout);
    std::_Exit(1);
}

// Most runs start from a settings file of their own: options, a joypad mapping and a hiscore table whose
// scores a short run can beat, so that name entry and the table's re-sorting get exercised. The rest start
// with no file, on the defaults.
void writeStartingSettings(uint64_t seed) {
    TSoakRandom random(seed ^ 0x5E77u);
    if (random.chance(0.2)) return;
    std::ofstream file("config.ini", std::ios::binary);
    const auto line = [&](const std::string& text) { file << text << "\r\n"; };
    line("[Grid]");
    line(std::to_string(random.integer(0, 1)));
    line("[Sound]");
    line(std::to_string(random.integer(0, 4)));
    line(std::to_string(random.integer(0, 4)));
    line("[Hiscore]");
    static const char* const names[] = {"ANA", "B0B", "", "TEN LETTER", "Z Z"};
    for (int record = 0; record < 10; ++record) {
        line(names[random.integer(0, 4)]);
        line(random.chance(0.5) ? "" : "NOTHING TO SAY");
        // Some low scores, so that one or two kills make the table.
        line(std::to_string(random.integer(0, random.chance(0.3) ? 300 : 2000)));
        for (int count = 0; count < 12; ++count)
            line(std::to_string(random.integer(0, 40)));
    }
    line("[Input]");
    line(std::to_string(random.integer(0, 1)));
    line("[JoyPad]");
    static const int axisNumbers[] = {0, 1, 2, 3, 4, 8, 9};
    for (int axis = 0; axis < 4; ++axis)
        line(std::to_string(axisNumbers[random.integer(0, 6)]));
    for (int button = 0; button < 4; ++button)
        line(std::to_string(random.integer(0, 11)));
}

bool tableHolds(const TGame& g, int score) {
    for (const auto& record : g.hiscores->entries)
        if (record->score == score) return true;
    return false;
}

// What the entry routine does before its loop, on the soak's clock, in the run's own directory.
void startFreshGame() {
    pumpEvents();
    clearKeyState();
    worldScrollOffset().set(0, 0);
    selectFont(gameFont());
    game = TGame::create();
    game->startRun();
    game->phaseTime = 10.0f;
    game->lastFrameTime = elapsedMillis();
}

// The shield a respawn gives, raised again before every frame of play: the contact test breaks up whatever
// touches the craft, and the shield never runs down far enough to blink.
void keepCraftAlive(TGame& g) {
    if (g.state != GameState::Play) return;
    g.player->shieldOn = 1;
    g.player->shieldTime = 3.0f;
}

std::vector<TRun> finishedRuns;

// Every run the game finished is played again in a fresh game object by the code behind --verify; one
// that does not end in the record it claims means the run file forgot something the run depends on.
std::string verifyFinishedRuns(bool keptAlive) {
    TGame* played = game;
    game = TGame::create();
    std::string failure;
    // Twice over: the second playback finds the game as the first left it, not fresh, so state that carries
    // from one run into the next and that the file forgets shows there.
    for (size_t pass = 0; pass < 2 * finishedRuns.size() && failure.empty(); ++pass) {
        const TRun& run = finishedRuns[pass % finishedRuns.size()];
        std::string problem;
        const auto copy = runFromText(runFileText(run), problem); // through the file, as a player's would go
        const TRunVerdict verdict =
            copy ? verifyRun(*copy, keptAlive ? keepCraftAlive : nullptr) : TRunVerdict{};
        if (!verdict.matched) {
            failure = "a recorded run (" + std::to_string(run.frames) + " frames, score " +
                      std::to_string(run.result.score) +
                      (pass >= finishedRuns.size() ? ", played again" : "") +
                      ") does not verify: " + (copy ? verdict.reason : problem);
        }
    }
    delete game;
    game = played;
    finishedRuns.clear();
    return failure;
}

TRunResult playRun(uint64_t seed, bool keptAlive, const TOptions& options, TVirtualPad& pad,
                   TSettingsReader& reader, TSessionTotals& totals) {
    namespace fs = std::filesystem;
    const fs::path home = fs::current_path();
    const fs::path directory = home / ("soak-run-" + std::to_string(seed));
    fs::remove_all(directory);
    fs::create_directories(directory);
    fs::current_path(directory);
    // The game seeds its generator from the clock, so the clock's start is part of the run's seed.
    clockMillis = 100000 + static_cast<int>(seed % 1000000);
    writeStartingSettings(seed);
    startFreshGame();
    setRunFinishedHandler([](const TRun& run) { finishedRuns.push_back(run); });

    where.seed = seed;
    where.frame = 0;
    TSoakBot bot(seed, pad, keptAlive);
    TWorldCheck world;
    TSoakCoverage coverage;
    TSettingsCheck settings(reader);
    settings.remember();
    TRunResult result;
    result.keptAlive = keptAlive;
    const int budget = keptAlive ? options.keptAliveFrames : options.maxFrames;
    while (!bot.finished()) {
        if (result.frames == budget) {
            result.cut = true;
            bot.cutShort();
        }
        if (result.frames > budget + 2000) {
            result.failure = "the run never came back to the title after being abandoned";
            break;
        }
        const GameState stateBefore = game->state;
        ++totals.framesByState[static_cast<int>(stateBefore) & 15];
        const int scoreBefore = game->player->stats.score;
        const int savesBefore = settings.savesChecked;
        const int millis = bot.prepareFrame(*game);
        clockMillis += millis;
        if (keptAlive) keepCraftAlive(*game);
        coverage.beforeFrame(*game);
        game->frame();
        coverage.afterFrame(*game);
        if (stateBefore == GameState::Play && game->state == GameState::LifeLost) ++totals.livesLost;
        if (keyHitCount(Key::Z)) takeScreenshot(); // as the frame loop does after presenting
        where.frame = ++result.frames;
        if (game->state == GameState::GameOver) result.gameOver = true;

        // The pause step draws but does not move the world: its frames do not age anything.
        const float worldSeconds = stateBefore == GameState::Pause ? 0.0f : static_cast<float>(millis) / 1000;
        result.failure = world.afterFrame(*game, worldSeconds);
        if (result.failure.empty()) result.failure = settings.afterFrame(*game);
        if (result.failure.empty() && stateBefore == GameState::GameOver &&
            settings.savesChecked > savesBefore) {
            // Game over saves only for a finished name entry, and the entry must be in the table it saved.
            result.nameEntered = true;
            if (!tableHolds(*game, scoreBefore))
                result.failure =
                    "a name was entered but no hiscore holds the run's score " + std::to_string(scoreBefore);
        }
        if (!result.failure.empty()) break;
    }
    if (result.failure.empty()) {
        // Leaving from the title saves the settings; the next start reads them.
        game->saveSettings();
        result.failure = settings.roundTrip(*game);
    }
    result.runsVerified = static_cast<int>(finishedRuns.size());
    if (result.failure.empty()) result.failure = verifyFinishedRuns(keptAlive);
    finishedRuns.clear();
    if (!result.failure.empty())
        result.failure = "frame " + std::to_string(result.frames) + ": " + result.failure;

    bot.releaseEverything();
    totals.bot.framesInPlay += bot.tally.framesInPlay;
    totals.bot.pauses += bot.tally.pauses;
    totals.bot.controlSwitches += bot.tally.controlSwitches;
    totals.bot.joypadSetups += bot.tally.joypadSetups;
    totals.bot.bombs += bot.tally.bombs;
    totals.bot.nameEntries += bot.tally.nameEntries;
    totals.bot.screenshots += bot.tally.screenshots;
    totals.bot.stalls += bot.tally.stalls;
    totals.peaks.merge(world.peaks);
    totals.savesChecked += settings.savesChecked;
    totals.coverage.merge(coverage);
    totals.keptAlive += keptAlive ? 1 : 0;
    totals.runsVerified += result.runsVerified;
    totals.finishedLevel20 += coverage.finishedLevel20 ? 1 : 0;

    delete game;
    game = nullptr;
    fs::current_path(home);
    if (result.failure.empty()) fs::remove_all(directory);
    return result;
}

// What a session of three runs or more must have shown, as a failure message; empty when it has.
std::string coverageShortfall(const TSessionTotals& t) {
    if (t.runs < coveredSessionRuns) return {};
    std::string shortfall;
    if (t.finishedLevel20 == 0) shortfall = "no run finished level 20";
    if (const std::string missing = t.coverage.missing(); !missing.empty())
        shortfall += (shortfall.empty() ? "never seen: " : "; never seen: ") + missing;
    return shortfall;
}

void printCoverage(const TSessionTotals& t) {
    std::printf("soak: %d runs kept alive, %d finished level 20, %d lives lost; highest level %d\n",
                t.keptAlive, t.finishedLevel20, t.livesLost, t.coverage.levelMax);
    std::printf("soak: enemies by kind:");
    for (int i = 0; i < SoakKindCount; ++i)
        std::printf("%s %s %d", i == 0 ? "" : ",", soakKindName(i),
                    t.coverage.kindSpawns[static_cast<size_t>(i)]);
    std::printf("\nsoak: frames with spawns by pattern:");
    for (int i = 0; i < SoakPatternCount; ++i)
        std::printf("%s %s %d", i == 0 ? "" : ",", soakPatternName(i),
                    t.coverage.patternSpawns[static_cast<size_t>(i)]);
    std::printf("\n");
}

void printTotals(const TSessionTotals& t, double seconds) {
    std::printf("soak: %d runs, %d frames (%d in play), %d game overs, %d names entered in the hiscores, "
                "%d cut at the frame budget, %.1f s (%.1f ms a frame)\n",
                t.runs, t.frames, t.bot.framesInPlay, t.gameOvers, t.namesEntered, t.cut, seconds,
                t.frames > 0 ? 1000 * seconds / t.frames : 0.0);
    std::printf("soak: bot: %d pauses, %d control switches, %d joypad setups, %d bombs, %d name entries, "
                "%d screenshots, %d two-second stalls; %d settings saves read back\n",
                t.bot.pauses, t.bot.controlSwitches, t.bot.joypadSetups, t.bot.bombs, t.bot.nameEntries,
                t.bot.screenshots, t.bot.stalls, t.savesChecked);
    std::printf(
        "soak: frames by screen: title %d, pages %d, configuration %d, play %d, pause %d, life lost %d, "
        "game over %d\n",
        t.framesIn(GameState::Title), t.framesIn(GameState::Credits) + t.framesIn(GameState::Instructions),
        t.framesIn(GameState::Configuration), t.framesIn(GameState::Play), t.framesIn(GameState::Pause),
        t.framesIn(GameState::LifeLost), t.framesIn(GameState::GameOver));
    std::printf("soak: largest lists: particles %zu, shots %zu, sparks %zu, enemies %zu, shockwaves %zu, "
                "score texts %zu\n",
                t.peaks.particles, t.peaks.shots, t.peaks.sparks, t.peaks.enemies, t.peaks.shockwaves,
                t.peaks.popups);
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--runs N] [--seed S] [--max-frames F] [--kept-alive-every K] "
                     "[--kept-alive-frames F]\n",
                     argv[0]);
        return 2;
    }
    useTestDrivers();
    if (!openTestDisplay()) {
        std::fprintf(stderr, "soak: the display could not be opened\n");
        return 2;
    }
    registerEmbeddedAssets();
    setClockSource([] { return clockMillis; });
    TVirtualPad pad;
    if (!pad.attached()) {
        std::fprintf(stderr, "soak: the virtual joystick could not be plugged in\n");
        return 2;
    }

    TSettingsReader reader; // before any run's game: see its header
    std::atexit(reportUnexpectedExit);
    const auto started = std::chrono::steady_clock::now();
    TSessionTotals totals;
    int failures = 0;
    for (int run = 0; run < options.runs; ++run) {
        const uint64_t seed = options.seed + static_cast<uint64_t>(run);
        const bool keptAlive = options.keptAliveEvery > 0 && run % options.keptAliveEvery == 0;
        const auto runStarted = std::chrono::steady_clock::now();
        const int finishedBefore = totals.finishedLevel20;
        const TRunResult result = playRun(seed, keptAlive, options, pad, reader, totals);
        // One line a run, so that a long session shows its progress.
        std::printf("soak: seed %llu%s: %d frames, %s%s, %.1f s\n", static_cast<unsigned long long>(seed),
                    keptAlive ? " (kept alive)" : "", result.frames,
                    result.nameEntered ? "game over, name entered"
                    : result.gameOver  ? "game over"
                    : result.cut       ? "cut"
                                       : "abandoned",
                    totals.finishedLevel20 > finishedBefore ? " after level 20" : "",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - runStarted).count());
        std::fflush(stdout);
        ++totals.runs;
        totals.frames += result.frames;
        totals.gameOvers += result.gameOver ? 1 : 0;
        totals.namesEntered += result.nameEntered ? 1 : 0;
        totals.cut += result.cut ? 1 : 0;
        if (!result.failure.empty()) {
            ++failures;
            std::printf("SOAK FAILURE seed %llu (run %d), %s\n  reproduce: %s --seed %llu --runs 1%s\n",
                        static_cast<unsigned long long>(seed), run, result.failure.c_str(), argv[0],
                        static_cast<unsigned long long>(seed), keptAlive ? "" : " --kept-alive-every 0");
            std::fflush(stdout);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    where.done = true;
    printTotals(totals, seconds);
    printCoverage(totals);
    if (const std::string shortfall = coverageShortfall(totals); !shortfall.empty()) {
        ++failures;
        std::printf("SOAK FAILURE coverage: %s\n", shortfall.c_str());
    }
    std::printf("soak: %d recorded runs played again from their files in a fresh game\n",
                totals.runsVerified);
    std::printf("soak: %s\n", failures == 0 ? "every check held" : "FAILED");
    std::printf("SOAK runs=%d frames=%d level_max=%d kinds_seen=%d patterns_seen=%d game_overs=%d names=%d "
                "failures=%d\n",
                totals.runs, totals.frames, totals.coverage.levelMax, totals.coverage.kindsSeen(),
                totals.coverage.patternsSeen(), totals.gameOvers, totals.namesEntered, failures);
    return failures == 0 ? 0 : 1;
}
