// The benchmark runner: headless display, scene list, timing and the report.
//
// Usage: kelvanor_bench [--frames N] [--warmup N] [--scene NAME] [--startup-runs N]
// (NAME is a scene, startup, or auto_scale: where the automatic render scale settles on large windows.)
// (--startup-probe FD and --display-probe FD are the children's side of the start-up measurement; the
// runner passes them itself.)
//
// Sections: timing · scene runs · report · entry.
#include "bench.h"
#include "auto_scale.h"
#include "startup.h"

#include "platform/assets.h"
#include "platform/display.h"
#include "platform/program.h"
#include "platform/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Under callgrind the timed updates, and nothing else, are counted (scripts/bench-instructions.sh): an
// instruction count per frame that other load on the machine cannot move. Without valgrind the requests
// are a few no-op instructions.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define KELVANOR_COUNT_INSTRUCTIONS() CALLGRIND_TOGGLE_COLLECT
#else
#define KELVANOR_COUNT_INSTRUCTIONS()
#endif

namespace {

// --- Timing --------------------------------------------------------------------------------------------

std::vector<TBenchScene>& scenes() {
    static std::vector<TBenchScene> list;
    return list;
}

// CPU time of this thread: what building and submitting costs, not time spent waiting.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double wallMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double mean(const std::vector<double>& samples) {
    double sum = 0;
    for (const double sample : samples)
        sum += sample;
    return samples.empty() ? 0 : sum / static_cast<double>(samples.size());
}

// Submission timed here, not in the renderer: the benchmark wraps the backend's own submission with the
// thread's CPU clock, so the flush the game ships reads no clock at all. A software driver transforms the
// vertices while it is handed them, so this is kept apart from the time spent building the batches.
TSubmission backend = backendSubmission();
double submittedMs = 0;

void timedDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                        uint32_t texture, int blendMode) {
    const double start = threadCpuMs();
    backend.drawTriangles(vertices, vertexCount, indices, indexCount, texture, blendMode);
    submittedMs += threadCpuMs() - start;
}

void timedClear(int red, int green, int blue) {
    const double start = threadCpuMs();
    backend.clear(red, green, blue);
    submittedMs += threadCpuMs() - start;
}

struct TUpdateSample {
    double cpuMs;
    long allocations;
};

struct TDrawSample {
    double buildMs, submitMs, drawMs, drawWallMs, presentMs;
    long allocations;
    TRenderStats stats;
};

TUpdateSample timeUpdate(TBenchScene& scene, bool counted) {
    constexpr float dt = 1.0f / 60.0f;
    const long allocations = benchAllocationCount();
    const double cpu = threadCpuMs();
    if (counted) KELVANOR_COUNT_INSTRUCTIONS();
    if (scene.update) scene.update(dt);
    if (counted) KELVANOR_COUNT_INSTRUCTIONS();
    return {threadCpuMs() - cpu, benchAllocationCount() - allocations};
}

TDrawSample timeDraw(TBenchScene& scene) {
    TDrawSample sample{};
    resetRenderStats();
    submittedMs = 0;
    const long allocations = benchAllocationCount();
    const double wall = wallMs();
    const double cpu = threadCpuMs();
    clearFrame();
    if (scene.draw) scene.draw();
    flushDrawing();
    sample.drawMs = threadCpuMs() - cpu;
    sample.drawWallMs = wallMs() - wall;
    sample.allocations = benchAllocationCount() - allocations;
    sample.stats = renderStats();
    // Batches are also submitted during the frame (on a texture change), so building is what is left.
    sample.submitMs = submittedMs;
    sample.buildMs = sample.drawMs - sample.submitMs;

    const double presentStart = wallMs();
    presentFrame(0);
    sample.presentMs = wallMs() - presentStart;
    return sample;
}

// Every figure of one scene over its timed frames.
struct TSceneSamples {
    std::vector<double> update, build, submit, draw, drawWall, present;
    double drawCalls = 0, vertices = 0, glowLines = 0, allocsDraw = 0, allocsUpdate = 0;

    void add(const TUpdateSample& sample) {
        update.push_back(sample.cpuMs);
        allocsUpdate += static_cast<double>(sample.allocations);
    }

    void add(const TDrawSample& sample) {
        build.push_back(sample.buildMs);
        submit.push_back(sample.submitMs);
        draw.push_back(sample.drawMs);
        drawWall.push_back(sample.drawWallMs);
        present.push_back(sample.presentMs);
        drawCalls += static_cast<double>(sample.stats.drawCalls);
        vertices += static_cast<double>(sample.stats.vertices);
        glowLines += static_cast<double>(sample.stats.glowLines);
        allocsDraw += static_cast<double>(sample.allocations);
    }

    TBenchResult summary(const std::string& name) const {
        TBenchResult result;
        result.name = name;
        result.frames = static_cast<int>(update.size());
        const double frames = std::max(1.0, static_cast<double>(update.size()));
        result.updateMs = mean(update);
        result.updateP99Ms = benchPercentile(update, 0.99);
        result.buildMs = mean(build);
        result.submitMs = mean(submit);
        result.drawMs = mean(draw);
        result.drawP99Ms = benchPercentile(draw, 0.99);
        result.drawMedianMs = benchPercentile(draw, 0.5);
        result.drawWallMs = mean(drawWall);
        result.presentMs = mean(present);
        result.drawCalls = drawCalls / frames;
        result.vertices = vertices / frames;
        result.glowLines = glowLines / frames;
        result.allocsDraw = allocsDraw / frames;
        result.allocsUpdate = allocsUpdate / frames;
        return result;
    }
};

// --- Scene runs ----------------------------------------------------------------------------------------

// A scene and the companions that draw its world. One update per frame, then every draw in turn, the first
// place going round so that none of them always finds the caches warm.
std::vector<TBenchResult> runGroup(const std::vector<TBenchScene*>& group, int warmupFrames, int frames) {
    TBenchScene& world = *group.front();
    setRenderScale(world.renderScale.empty() ? "auto" : world.renderScale);
    if (world.setup) world.setup();
    for (int frame = 0; frame < warmupFrames; ++frame) {
        timeUpdate(world, false);
        for (TBenchScene* scene : group)
            if (scene->draw) timeDraw(*scene);
    }
    std::vector<TSceneSamples> samples(group.size());
    for (int frame = 0; frame < frames; ++frame) {
        const TUpdateSample update = timeUpdate(world, true);
        for (size_t turn = 0; turn < group.size(); ++turn) {
            const size_t index = (static_cast<size_t>(frame) + turn) % group.size();
            samples[index].add(update);
            if (group[index]->draw) samples[index].add(timeDraw(*group[index]));
        }
    }
    std::vector<TBenchResult> results;
    for (size_t index = 0; index < group.size(); ++index)
        results.push_back(samples[index].summary(group[index]->name));
    setRenderScale("auto");
    return results;
}

// The scenes to run, grouped with their companions; asking for either side of a pair runs both, since a
// companion's figures mean something only next to the scene it is compared with.
std::vector<std::vector<TBenchScene*>> sceneGroups(const char* only) {
    std::vector<std::vector<TBenchScene*>> groups;
    for (TBenchScene& scene : scenes()) {
        if (!scene.drawsWorldOf.empty()) continue;
        std::vector<TBenchScene*> group{&scene};
        for (TBenchScene& companion : scenes())
            if (companion.drawsWorldOf == scene.name) group.push_back(&companion);
        const bool wanted =
            !only || std::any_of(group.begin(), group.end(), [&](TBenchScene* s) { return s->name == only; });
        if (wanted) groups.push_back(group);
    }
    return groups;
}

// --- Report --------------------------------------------------------------------------------------------

const TBenchScene* findScene(const std::string& name) {
    for (const TBenchScene& scene : scenes())
        if (scene.name == name) return &scene;
    return nullptr;
}

const TBenchResult* findResult(const std::vector<TBenchResult>& results, const std::string& name) {
    for (const TBenchResult& result : results)
        if (result.name == name) return &result;
    return nullptr;
}

// The scene a companion is paired with, when both have run.
const TBenchResult* pairedResult(const std::vector<TBenchResult>& results, const TBenchResult& result) {
    const TBenchScene* scene = findScene(result.name);
    if (!scene || scene->drawsWorldOf.empty()) return nullptr;
    return findResult(results, scene->drawsWorldOf);
}

// How many times longer the companion takes to draw the same world than the scene it draws it for.
std::optional<double> speedupOf(const std::vector<TBenchResult>& results, const TBenchResult& result) {
    const TBenchResult* other = pairedResult(results, result);
    if (!other || other->drawMs <= 0) return std::nullopt;
    return result.drawMs / other->drawMs;
}

// The same in wall time from the start of drawing to the frame shown, pixel work included.
std::optional<double> wallSpeedupOf(const std::vector<TBenchResult>& results, const TBenchResult& result) {
    const TBenchResult* other = pairedResult(results, result);
    const double otherWall = other ? other->drawWallMs + other->presentMs : 0;
    if (otherWall <= 0) return std::nullopt;
    return (result.drawWallMs + result.presentMs) / otherWall;
}

bool simulationOnly(const TBenchResult& result) {
    const TBenchScene* scene = findScene(result.name);
    return scene && !scene->draw;
}

void printTimeTable(const std::vector<TBenchResult>& results) {
    std::printf("\nCPU time of the game thread per frame, ms\n");
    std::printf("%-18s %6s %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "scene", "frames", "update", "upd p99",
                "draw", "draw p99", "draw med", "build", "submit", "draw wall", "present");
    for (const TBenchResult& r : results)
        if (simulationOnly(r))
            std::printf("%-18s %6d %9.3f %9.3f %9s\n", r.name.c_str(), r.frames, r.updateMs, r.updateP99Ms,
                        "(simulation only)");
        else
            std::printf("%-18s %6d %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f\n", r.name.c_str(),
                        r.frames, r.updateMs, r.updateP99Ms, r.drawMs, r.drawP99Ms, r.drawMedianMs, r.buildMs,
                        r.submitMs, r.drawWallMs, r.presentMs);
    std::printf("draw: building and submitting a frame, without waiting for the GPU; build: the building "
                "alone, draw less submit (a software driver transforms vertices on submission).\ndraw wall "
                "and present are wall time; a software rasteriser does its pixel work in "
                "present.\n");
}

void printWorkTable(const std::vector<TBenchResult>& results) {
    std::printf("\nWork per frame\n");
    std::printf("%-18s %10s %10s %10s %12s %12s %9s\n", "scene", "draw calls", "vertices", "glow lines",
                "allocs upd", "allocs draw", "speedup");
    for (const TBenchResult& r : results) {
        if (simulationOnly(r)) continue;
        const std::optional<double> speedup = speedupOf(results, r);
        char ratio[32] = "";
        if (speedup) std::snprintf(ratio, sizeof ratio, "%.2f", *speedup);
        std::printf("%-18s %10.1f %10.0f %10.0f %12.2f %12.2f %9s\n", r.name.c_str(), r.drawCalls, r.vertices,
                    r.glowLines, r.allocsUpdate, r.allocsDraw, ratio);
    }
    std::printf("speedup: how many times longer a companion scene takes to draw the same world than the "
                "scene it is paired with,\nin the game thread's CPU time (the BENCH line's speedup_wall "
                "compares draw wall plus present).\nA companion shares that scene's update, so its update "
                "figures are the same.\n");
}

void printStartupTable(const TStartupResult& s) {
    std::printf("\nStart-up, %d runs (medians; wall time from the spawn)\n", s.runs);
    std::printf("%12s %10s %10s %12s %13s %14s %12s %10s\n", "first frame", "fastest", "slowest", "main cpu",
                "display open", "music ready", "mb at frame", "peak mb");
    std::printf("%9.1f ms %7.1f ms %7.1f ms %9.1f ms %10.1f ms %11.1f ms %12.1f %10.1f\n", s.startupMs,
                s.startupMinMs, s.startupMaxMs, s.mainCpuMs, s.displayOpenMs, s.musicReadyMs, s.firstFrameMb,
                s.peakMb);
    std::printf("main cpu: the game thread's own CPU time up to the first frame. display open: a child that "
                "only opens the\ndisplay; it includes the refresh-rate check (up to a second; cut short on a "
                "display that never waits).\n");
}

void printBenchLine(const std::vector<TBenchResult>& results, const TBenchResult& r) {
    std::string extra;
    const TBenchScene* scene = findScene(r.name);
    if (scene && scene->extraKeys) extra = scene->extraKeys(r);
    if (simulationOnly(r)) {
        std::printf("BENCH scene=%s frames=%d update_ms=%.3f update_p99_ms=%.3f allocs_update=%.2f%s\n",
                    r.name.c_str(), r.frames, r.updateMs, r.updateP99Ms, r.allocsUpdate, extra.c_str());
        return;
    }
    if (const std::optional<double> speedup = speedupOf(results, r)) {
        char ratio[48];
        std::snprintf(ratio, sizeof ratio, " speedup=%.2f", *speedup);
        extra += ratio;
    }
    if (const std::optional<double> speedup = wallSpeedupOf(results, r)) {
        char ratio[48];
        std::snprintf(ratio, sizeof ratio, " speedup_wall=%.2f", *speedup);
        extra += ratio;
    }
    std::printf("BENCH scene=%s frames=%d update_ms=%.3f update_p99_ms=%.3f draw_ms=%.3f draw_p99_ms=%.3f "
                "draw_calls=%.1f vertices=%.0f glow_lines=%.0f allocs_draw=%.2f allocs_update=%.2f "
                "draw_median_ms=%.3f build_ms=%.3f submit_ms=%.3f draw_wall_ms=%.3f present_ms=%.3f%s\n",
                r.name.c_str(), r.frames, r.updateMs, r.updateP99Ms, r.drawMs, r.drawP99Ms, r.drawCalls,
                r.vertices, r.glowLines, r.allocsDraw, r.allocsUpdate, r.drawMedianMs, r.buildMs, r.submitMs,
                r.drawWallMs, r.presentMs, extra.c_str());
}

void printAutoScaleTable(const std::vector<TAutoScaleResult>& results) {
    std::printf("\nThe automatic render scale, 600 frames clock-paced at sixty a second\n");
    std::printf("%-8s %-12s %8s %8s %8s %15s %16s\n", "world", "window", "native", "settled", "changes",
                "settled after", "frame ms after");
    for (const TAutoScaleResult& r : results)
        std::printf("%-8s %5dx%-6d %8.2f %8.2f %8d %9d frames %16.1f\n", r.world.c_str(), r.width, r.height,
                    r.nativeScale, r.settledScale, r.changes, r.settledAfterFrames, r.settledFrameMs);
}

void printAutoScaleLine(const TAutoScaleResult& r) {
    std::printf(
        "BENCH scene=auto_scale world=%s display=%dx%d native_scale=%.2f settled_scale=%.2f changes=%d "
        "settled_after_frames=%d frames=%d frame_ms=%.1f\n",
        r.world.c_str(), r.width, r.height, r.nativeScale, r.settledScale, r.changes, r.settledAfterFrames,
        r.frames, r.settledFrameMs);
}

void printStartupLine(const TStartupResult& s) {
    std::printf("BENCH scene=startup runs=%d startup_ms=%.1f peak_mb=%.1f startup_min_ms=%.1f "
                "startup_max_ms=%.1f main_cpu_ms=%.1f display_open_ms=%.1f music_ready_ms=%.1f "
                "first_frame_mb=%.1f\n",
                s.runs, s.startupMs, s.peakMb, s.startupMinMs, s.startupMaxMs, s.mainCpuMs, s.displayOpenMs,
                s.musicReadyMs, s.firstFrameMb);
}

// --- Automatic render scale ----------------------------------------------------------------------------

struct TAutoScaleWorld {
    const char* name;
    std::function<void()> setup, frame;
};

// The title page as the game shows it first, and the busiest world of play, on the 4:3 area of a
// 1920 x 1080 and of a 2560 x 1440 screen.
std::vector<TAutoScaleResult> measureAutoScales() {
    const TBenchScene* level20 = findScene("level20");
    const std::vector<TAutoScaleWorld> worlds = {
        {"title",
         [] {
             benchStartPlaying();
             game->state = GameState::Title;
         },
         [] { game->frame(); }},
        {"level20", [level20] { level20->setup(); },
         [level20] {
             level20->update(1.0f / 60);
             clearFrame();
             level20->draw();
             presentFrame(-1);
         }},
    };
    std::vector<TAutoScaleResult> results;
    for (const TAutoScaleWorld& world : worlds)
        for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{2560, 1440}}) {
            TAutoScaleResult measured;
            if (measureAutoScale(world.setup, world.frame, width, height, 600, measured)) {
                measured.world = world.name;
                results.push_back(measured);
            } else {
                std::fprintf(stderr, "kelvanor_bench: the automatic scale could not be measured at %dx%d\n",
                             width, height);
            }
        }
    return results;
}

// --- Entry ---------------------------------------------------------------------------------------------

struct TBenchOptions {
    int frames = 120;
    int warmupFrames = 10;
    int startupRuns = 5;
    const char* only = nullptr;
    int probeFd = -1;
    int displayProbeFd = -1;
};

TBenchOptions readOptions(int argc, char** argv) {
    TBenchOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0)
            options.frames = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--warmup") == 0)
            options.warmupFrames = std::max(0, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--scene") == 0)
            options.only = argv[i + 1];
        else if (std::strcmp(argv[i], "--startup-runs") == 0)
            options.startupRuns = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--startup-probe") == 0)
            options.probeFd = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--display-probe") == 0)
            options.displayProbeFd = std::atoi(argv[i + 1]);
    }
    return options;
}

bool openHeadlessDisplay() {
    if (!initPlatform() || !openGraphicsWindow(800, 600, 0, 0, 0)) {
        std::fprintf(stderr, "kelvanor_bench: no display with an OpenGL context\n");
        return false;
    }
    setSubmission({timedDrawTriangles, timedClear});
    registerEmbeddedAssets();
    return true;
}

} // namespace

double benchPercentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

bool registerBenchScene(TBenchScene scene) {
    scenes().push_back(std::move(scene));
    return true;
}

int main(int argc, char** argv) {
    const TBenchOptions options = readOptions(argc, argv);
    // A test tool, not the game: it always runs headless, and so does the start-up child it spawns.
    const char* video = std::getenv("KELVANOR_TEST_VIDEO");
    setenv("SDL_VIDEODRIVER", (video && *video) ? video : "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (options.probeFd >= 0) runStartupProbe(options.probeFd);
    if (options.displayProbeFd >= 0) runDisplayProbe(options.displayProbeFd);

    // Start-up first, while this process has no display or threads of its own to compete with the child.
    const bool startupWanted = !options.only || std::strcmp(options.only, "startup") == 0;
    TStartupResult startup;
    const bool startupMeasured = startupWanted && measureStartup(argv[0], options.startupRuns, startup);
    if (startupWanted && !startupMeasured)
        std::fprintf(stderr, "kelvanor_bench: the start-up probe failed\n");

    std::vector<TBenchResult> results;
    const auto groups = sceneGroups(options.only);
    const bool autoScaleWanted = !options.only || std::strcmp(options.only, "auto_scale") == 0;
    if ((!groups.empty() || autoScaleWanted) && !openHeadlessDisplay()) return 1;
    for (const auto& group : groups)
        for (const TBenchResult& result : runGroup(group, options.warmupFrames, options.frames))
            results.push_back(result);
    std::vector<TAutoScaleResult> autoScales;
    if (autoScaleWanted) autoScales = measureAutoScales();

    if (!results.empty()) {
        printTimeTable(results);
        if (!std::all_of(results.begin(), results.end(), simulationOnly)) printWorkTable(results);
    }
    if (!autoScales.empty()) printAutoScaleTable(autoScales);
    if (startupMeasured) printStartupTable(startup);
    std::printf("\n");
    for (const TBenchResult& result : results)
        printBenchLine(results, result);
    for (const TAutoScaleResult& result : autoScales)
        printAutoScaleLine(result);
    if (startupMeasured) printStartupLine(startup);
    const bool failed = (startupWanted && !startupMeasured) || (autoScaleWanted && autoScales.size() != 4) ||
                        (groups.empty() && !startupWanted && !autoScaleWanted);
    return failed ? 1 : 0;
}
