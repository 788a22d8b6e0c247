// Program control: the two ways the program ends, and the millisecond clock the frame loop measures
// itself with. Starting the platform is the backend's (initPlatform).
#include "platform/program.h"

#include "platform/backend.h"
#include "platform/platform_internal.h"
#include "platform/replay_hooks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::function<int()> clockSource;
std::function<void(std::string_view)> fatalErrorHandler;
std::function<void()> settingsSaver;

} // namespace

void raiseFatalError(std::string_view message) {
    if (fatalErrorHandler) fatalErrorHandler(message);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    // A recording keeps the run up to here; a replay that reaches the same error has matched.
    replayProgramEnding();
    backendShutDown();
    std::exit(-1);
}

void setFatalErrorHandler(std::function<void(std::string_view message)> handler) {
    fatalErrorHandler = std::move(handler);
}

void setSettingsSaver(std::function<void()> save) {
    settingsSaver = std::move(save);
}

void saveSettingsBeforeLeaving() {
    if (settingsSaver) settingsSaver();
}

void exitProgram() {
    replayProgramEnding();
    endProcess(0);
}

void endProcess(int status) {
    std::fflush(stdout);
    backendShutDown();
    std::exit(status);
}

int elapsedMillis() {
    return runTapeClock(replayClock(liveMillis()));
}

int liveMillis() {
    if (clockSource) return clockSource();
    // Time since the system started, like a tick count: the game seeds its generator from this clock, so
    // it should not start near 0 in every process.
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    return static_cast<int>(static_cast<uint32_t>(millis));
}

int64_t liveMicros() {
    if (clockSource) return static_cast<int64_t>(clockSource()) * 1000;
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleepMillis(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void setClockSource(std::function<int()> clock) {
    clockSource = std::move(clock);
}
