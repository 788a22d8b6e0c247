// The benchmark runner: headless display, scene list, timing, allocation counting and the report.
//
// Usage: kelvanor_bench [--frames N] [--warmup N] [--scene NAME]
#include "bench.h"

#include "platform/assets.h"
#include "platform/display.h"
#include "platform/program.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

// --- Allocation counting -------------------------------------------------------------------------------
// Every form of operator new in this binary counts on the thread that calls it, so that the mixer or the
// driver's threads do not blur the game thread's figures.

namespace {
thread_local long allocationCount = 0;

void* countedAllocation(std::size_t size) {
    ++allocationCount;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

void* countedAlignedAllocation(std::size_t size, std::align_val_t alignment) {
    ++allocationCount;
    const std::size_t align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (std::max<std::size_t>(size, 1) + align - 1) / align * align;
    if (void* memory = std::aligned_alloc(align, rounded)) return memory;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return countedAllocation(size);
}
void* operator new[](std::size_t size) {
    return countedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedAllocation(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedAllocation(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return countedAlignedAllocation(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return countedAlignedAllocation(size, alignment);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}

long benchAllocationCount() {
    return allocationCount;
}

// --- Scenes and timing ---------------------------------------------------------------------------------

namespace {

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

// Nearest-rank percentile, fraction 0..1.
double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

struct TFrameSample {
    double updateMs, buildMs, submitMs, drawMs, drawWallMs, presentMs;
    long allocsUpdate, allocsDraw;
    TRenderStats stats;
};

TFrameSample runFrame(TBenchScene& scene) {
    constexpr float dt = 1.0f / 60.0f;
    TFrameSample sample{};
    long allocations = benchAllocationCount();
    double cpu = threadCpuMs();
    if (scene.update) scene.update(dt);
    sample.updateMs = threadCpuMs() - cpu;
    sample.allocsUpdate = benchAllocationCount() - allocations;

    resetRenderStats();
    allocations = benchAllocationCount();
    const double wall = wallMs();
    cpu = threadCpuMs();
    clearFrame();
    if (scene.draw) scene.draw();
    flushDrawing();
    sample.drawMs = threadCpuMs() - cpu;
    sample.drawWallMs = wallMs() - wall;
    sample.allocsDraw = benchAllocationCount() - allocations;
    sample.stats = renderStats();
    // Batches are also submitted during the frame (on a texture change), so building is what is left.
    sample.submitMs = sample.stats.submitMs;
    sample.buildMs = sample.drawMs - sample.submitMs;

    const double presentStart = wallMs();
    presentFrame(0);
    sample.presentMs = wallMs() - presentStart;
    return sample;
}

TBenchResult runScene(TBenchScene& scene, int warmupFrames, int frames) {
    if (scene.setup) scene.setup();
    for (int i = 0; i < warmupFrames; ++i)
        runFrame(scene);
    std::vector<double> update, build, submit, draw, drawWall, present;
    TBenchResult result;
    result.name = scene.name;
    result.frames = frames;
    for (int i = 0; i < frames; ++i) {
        const TFrameSample sample = runFrame(scene);
        update.push_back(sample.updateMs);
        build.push_back(sample.buildMs);
        submit.push_back(sample.submitMs);
        draw.push_back(sample.drawMs);
        drawWall.push_back(sample.drawWallMs);
        present.push_back(sample.presentMs);
        result.drawCalls += static_cast<double>(sample.stats.drawCalls) / frames;
        result.vertices += static_cast<double>(sample.stats.vertices) / frames;
        result.glowLines += static_cast<double>(sample.stats.glowLines) / frames;
        result.allocsDraw += static_cast<double>(sample.allocsDraw) / frames;
        result.allocsUpdate += static_cast<double>(sample.allocsUpdate) / frames;
    }
    result.updateMs = mean(update);
    result.updateP99Ms = percentile(update, 0.99);
    result.buildMs = mean(build);
    result.submitMs = mean(submit);
    result.drawMs = mean(draw);
    result.drawP99Ms = percentile(draw, 0.99);
    result.drawMedianMs = percentile(draw, 0.5);
    result.drawWallMs = mean(drawWall);
    result.presentMs = mean(present);
    return result;
}

void printTable(const std::vector<TBenchResult>& results) {
    std::printf("%-16s %7s %10s %10s %10s %10s %10s %10s %10s %10s %11s %11s\n", "scene", "frames",
                "update_ms", "build_ms", "draw_ms", "draw_p99", "draw_wall", "present_ms", "calls",
                "vertices", "allocs_draw", "allocs_upd");
    for (const TBenchResult& r : results)
        std::printf("%-16s %7d %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %10.1f %10.0f %11.2f %11.2f\n",
                    r.name.c_str(), r.frames, r.updateMs, r.buildMs, r.drawMs, r.drawP99Ms, r.drawWallMs,
                    r.presentMs, r.drawCalls, r.vertices, r.allocsDraw, r.allocsUpdate);
    std::printf(
        "draw_ms: the game thread's CPU time to build and submit a frame, without glFinish (build_ms is "
        "the building alone, draw_ms less the renderer's submission time; a software driver also "
        "transforms vertices on submission).\n"
        "present_ms: wall time of showing the frame, where a software rasteriser does its pixel "
        "work.\n");
}

} // namespace

Picture benchGlowPicture() {
    if (Picture embedded = loadPictureStrip("incbin::glowing.png", 64, 64, 0, 4, -1)) return embedded;
    static const int peaks[4] = {57, 28, 14, 8};
    auto sheet = std::make_shared<TPixelBuffer>();
    sheet->width = 128;
    sheet->height = 128;
    sheet->rgba.assign(128 * 128 * 4, 255);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int frameX = x % 64, frameY = y % 64;
            const double dx = frameX - 31.5, dy = frameY - 31.5;
            const bool core = frameX >= 30 && frameX <= 33 && frameY >= 30 && frameY <= 33;
            const double halo =
                peaks[(y / 64) * 2 + x / 64] * std::exp(-(dx * dx + dy * dy) / (2.0 * 14 * 14));
            sheet->rgba[(static_cast<size_t>(y) * 128 + x) * 4 + 3] =
                static_cast<uint8_t>(core ? 255 : std::lround(halo));
        }
    const std::string path = "/tmp/kelvanor_bench_glow_" + std::to_string(getpid()) + ".png";
    if (!savePixelBufferPng(sheet, path, 1)) return nullptr;
    Picture picture = loadPictureStrip(path, 64, 64, 0, 4, -1);
    std::remove(path.c_str());
    return picture;
}

bool registerBenchScene(TBenchScene scene) {
    scenes().push_back(std::move(scene));
    return true;
}

int main(int argc, char** argv) {
    int frames = 120;
    int warmupFrames = 10;
    const char* only = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0)
            frames = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--warmup") == 0)
            warmupFrames = std::max(0, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--scene") == 0)
            only = argv[i + 1];
    }

    // A test tool, not the game: it always runs headless.
    const char* video = std::getenv("KELVANOR_TEST_VIDEO");
    setenv("SDL_VIDEODRIVER", (video && *video) ? video : "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!initPlatform() || !openGraphicsWindow(800, 600, 0, 0, 0)) {
        std::fprintf(stderr, "kelvanor_bench: no display with an OpenGL context\n");
        return 1;
    }
    registerEmbeddedAssets();

    std::vector<TBenchResult> results;
    for (TBenchScene& scene : scenes()) {
        if (only && scene.name != only) continue;
        results.push_back(runScene(scene, warmupFrames, frames));
    }
    printTable(results);
    for (size_t i = 0; i < results.size(); ++i) {
        const TBenchResult& r = results[i];
        std::string extra;
        for (const TBenchScene& scene : scenes())
            if (scene.name == r.name && scene.extraKeys) extra = scene.extraKeys(r);
        std::printf(
            "BENCH scene=%s update_ms=%.3f draw_ms=%.3f draw_p99_ms=%.3f draw_calls=%.1f vertices=%.0f "
            "allocs_draw=%.2f allocs_update=%.2f draw_median_ms=%.3f build_ms=%.3f submit_ms=%.3f "
            "present_ms=%.3f%s\n",
            r.name.c_str(), r.updateMs, r.drawMs, r.drawP99Ms, r.drawCalls, r.vertices, r.allocsDraw,
            r.allocsUpdate, r.drawMedianMs, r.buildMs, r.submitMs, r.presentMs, extra.c_str());
    }
    return results.empty() ? 1 : 0;
}
