// The start-up measurement: the child runs the game's real start-up routine, the parent times it.
//
// Both sides read CLOCK_MONOTONIC, which is one clock for every process on the machine, so the child can
// say when its first frame went out and the parent subtracts the moment just before it spawned the child.
#include "startup.h"

#include "bench.h"

#include "app/entry.h"
#include "app/game.h"
#include "platform/display.h"
#include "platform/program.h"
#include "platform/sound.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

long long monotonicNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

long long threadCpuNanos() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The kernel's high-water mark of this process's resident set, in KiB; 0 if it cannot be read.
long residentHighWaterKb() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(status);
    return kb;
}

// What the child reports, in its own units.
struct TProbeReport {
    long long presentedNanos = 0;
    long long mainCpuNanos = 0;
    long long musicReadyNanos = 0;
    long firstFrameKb = 0;
};

struct TStartupRun {
    double startupMs = 0, mainCpuMs = 0, musicReadyMs = 0, firstFrameMb = 0, peakMb = 0;
};

// Spawns the probe in directory and reads what it reports; false if it could not run or failed.
bool spawnProbe(const char* program, const char* probeOption, const std::string& directory,
                TStartupRun& run) {
    int report[2];
    if (pipe(report) != 0) return false;
    const std::string reportFd = std::to_string(report[1]);
    char* const argv[] = {const_cast<char*>(program), const_cast<char*>(probeOption),
                          const_cast<char*>(reportFd.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, report[0]);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    const long long spawned = monotonicNanos();
    pid_t child = 0;
    const int spawnError = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(report[1]);
    if (spawnError != 0) {
        close(report[0]);
        return false;
    }

    TProbeReport probe;
    FILE* reader = fdopen(report[0], "r");
    const int fields = reader ? std::fscanf(reader, "%lld %lld %lld %ld", &probe.presentedNanos,
                                            &probe.mainCpuNanos, &probe.musicReadyNanos, &probe.firstFrameKb)
                              : 0;
    if (reader)
        std::fclose(reader);
    else
        close(report[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    if (fields != 4 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;

    run.startupMs = static_cast<double>(probe.presentedNanos - spawned) / 1e6;
    run.mainCpuMs = static_cast<double>(probe.mainCpuNanos) / 1e6;
    run.musicReadyMs = static_cast<double>(probe.musicReadyNanos - spawned) / 1e6;
    run.firstFrameMb = static_cast<double>(probe.firstFrameKb) / 1024.0;
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0; // Linux gives KiB
    return true;
}

double medianOf(const std::vector<TStartupRun>& runs, double TStartupRun::*figure) {
    std::vector<double> values;
    for (const TStartupRun& run : runs)
        values.push_back(run.*figure);
    return benchPercentile(values, 0.5);
}

void waitForMusic() {
    waitForSoundClip(game->titleMusic);
    waitForSoundClip(game->playMusic);
}

// Runs the probe runs times, each in an empty directory of its own; false if any run failed.
bool runProbes(const char* program, const char* probeOption, int runs, std::vector<TStartupRun>& done) {
    for (int i = 0; i < runs; ++i) {
        char pattern[] = "/tmp/kelvanor_startup_XXXXXX";
        const char* directory = mkdtemp(pattern);
        if (!directory) return false;
        TStartupRun run;
        const bool ran = spawnProbe(program, probeOption, directory, run);
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
        if (!ran) return false;
        done.push_back(run);
    }
    return !done.empty();
}

} // namespace

void runStartupProbe(int reportFd) {
    if (!startGame()) _exit(2);
    game->frame();
    TProbeReport probe;
    probe.presentedNanos = monotonicNanos();
    probe.mainCpuNanos = threadCpuNanos();
    probe.firstFrameKb = residentHighWaterKb();
    waitForMusic();
    probe.musicReadyNanos = monotonicNanos();
    dprintf(reportFd, "%lld %lld %lld %ld\n", probe.presentedNanos, probe.mainCpuNanos, probe.musicReadyNanos,
            probe.firstFrameKb);
    // Straight out: the game never tears itself down, and the figures are already reported.
    _exit(0);
}

void runDisplayProbe(int reportFd) {
    if (!initPlatform() || !openGraphicsWindow(800, 600, 32, 60, 0)) _exit(2);
    const long long opened = monotonicNanos();
    dprintf(reportFd, "%lld %lld %lld %ld\n", opened, threadCpuNanos(), opened, residentHighWaterKb());
    _exit(0);
}

bool measureStartup(const char* program, int runs, TStartupResult& result) {
    std::vector<TStartupRun> done, displayOnly;
    if (!runProbes(program, "--startup-probe", runs, done)) return false;
    if (!runProbes(program, "--display-probe", runs, displayOnly)) return false;
    result.runs = runs;
    result.startupMs = medianOf(done, &TStartupRun::startupMs);
    std::vector<double> startups;
    for (const TStartupRun& run : done)
        startups.push_back(run.startupMs);
    result.startupMinMs = benchPercentile(startups, 0);
    result.startupMaxMs = benchPercentile(startups, 1);
    result.mainCpuMs = medianOf(done, &TStartupRun::mainCpuMs);
    result.musicReadyMs = medianOf(done, &TStartupRun::musicReadyMs);
    result.firstFrameMb = medianOf(done, &TStartupRun::firstFrameMb);
    result.peakMb = medianOf(done, &TStartupRun::peakMb);
    result.displayOpenMs = medianOf(displayOnly, &TStartupRun::startupMs);
    return true;
}
