// The watch of a kept run, and the headless verification of a run file.
#include "app/watch_run.h"

#include "app/game.h"
#include "app/run_file.h"
#include "app/ui/caption.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/page_files.h"
#include "platform/program.h"
#include "platform/random.h"
#include "platform/run_tape.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace {

constexpr int FastForward = 4;
constexpr const char* Refused = "THIS RUN DOES NOT MATCH ITS SCORE";

struct TWatch {
    TCarriedState watcher; // the player's own, back when the watch ends
    std::string caption;
    bool paused = false;
};

std::optional<TWatch> watch;
std::string refusal;

void endWatch(TGame& g) {
    const TRunVerdict verdict = runPlaybackVerdict();
    stopRunPlayback();
    if (verdict.ended && !verdict.matched) refusal = Refused;
    setWatchOutcome(!verdict.ended ? 4 : verdict.matched ? 2 : 3);
    watch->watcher.apply(g, false);
    watch.reset();
    g.startRun(); // nothing of the watched run is left in the arena
    g.state = GameState::HiscoresPage;
    g.switchMusicToTitle();
    g.lastFrameTime = elapsedMillis();
}

void drawWatchCaptions(const TWatch& w) {
    drawCaption(w.caption, 570, CaptionStyle::Blue, {.white = true});
    if (w.paused) drawCaption("PAUSED: P GOES ON, ESCAPE LEAVES", 310, CaptionStyle::Green, {.white = true});
}

} // namespace

void startWatching(TGame& g, const TRun& run) {
    refusal.clear();
    watch.emplace();
    watch->watcher = TCarriedState::capture(g, false);
    watch->caption = (run.result.name.empty() ? std::string("NAMELESS") : run.result.name) + "  " +
                     std::to_string(run.result.score) + "   HOLD RIGHT: 4X";
    setWatchOutcome(1);
    startRunPlayback(g, run);
}

bool watchingRun() {
    return watch.has_value();
}

std::string takeWatchRefusal() {
    return std::exchange(refusal, std::string());
}

void watchRunFrame(TGame& g) {
    TWatch& w = *watch;
    if (liveQuitRequested()) {
        endWatch(g);
        g.quitProgram();
    }
    if (liveKeyHitCount(Key::Escape) != 0) {
        endWatch(g);
        g.frame();
        return;
    }
    if (liveKeyHitCount(Key::P) != 0) w.paused = !w.paused;
    if (w.paused) {
        // Drawn as it stands; the tape does not move and the generator is left where it was.
        holdRunTape(true);
        const int32_t generator = randomState();
        g.drawWorld();
        g.drawHud();
        seedRandom(generator);
        holdRunTape(false);
    } else {
        const int frames = liveKeyDown(Key::Right) ? FastForward : 1;
        for (int i = 0; i < frames && !runPlaybackVerdict().ended; ++i) {
            if (i > 0) keyHitCount(Key::Z); // the frame loop's own read, a pump of the recorded frame
            g.stepFrame();
            runFrameEnded();
        }
    }
    drawWatchCaptions(w);
    presentFrame(-1);
    if (runPlaybackVerdict().ended) endWatch(g);
}

int verifyRunFile(const std::string& path) {
    std::string problem;
    const auto run = readRunFile(path, problem);
    if (!run) {
        std::printf("%s: unreadable: %s\n", path.c_str(), problem.c_str());
        return 2;
    }
    const TRunVerdict verdict = verifyRun(*run);
    std::printf("%s: score %d level %d frames %d: %s%s\n", path.c_str(), verdict.result.score, verdict.level,
                verdict.frames, verdict.matched ? "matches its record" : "does not match its record: ",
                verdict.matched ? "" : verdict.reason.c_str());
    return verdict.matched ? 0 : 3;
}
