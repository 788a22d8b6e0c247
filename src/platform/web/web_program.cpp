// The page: starting up, the frame loop on the browser's animation frames, the first gesture, full
// screen, keeping the working directory in the browser's storage, and the end of the program.
//
// The working directory is a folder the page mounts from IndexedDB before the program starts (the pre-js
// file beside this one), so "config.ini" is read and written there exactly as on the desktop; every
// change is copied back to IndexedDB after the frame that made it. Where the browser refuses storage the
// folder lives in memory only and the game runs with its defaults.
#include "platform/files.h"
#include "platform/page_files.h"
#include "platform/web/web_backend.h"

#include <cstdio>

#include "platform/backend.h"
#include "platform/frame_pacing.h"
#include "platform/platform_internal.h"
#include "platform/program.h"
#include "platform/sound_device.h"

#include <emscripten/emscripten.h>

namespace {

// Decoding music between frames may take this much of each frame.
constexpr double MusicMillisPerFrame = 4.0;

void (*frameStep)() = nullptr;
TAnimationFrameClock frameClock;
long framesRun = 0;
long animationFrames = 0;
long gestures = 0;
bool filesChanged = false;
bool closed = false;

// clang-format off
EM_JS(void, startAnimationFrames, (), {
    var tick = function(now) {
        var more;
        try {
            more = Module['_kelvanorAnimationFrame'](now);
        } catch (e) {
            // The program's own end (exit) stops the loop quietly; anything else is a real error.
            if (e === 'unwind' || (e && e.name === 'ExitStatus')) return;
            throw e;
        }
        if (more) requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
});
EM_JS(void, reportFrames, (int frames), {
    if (window.kelvanorStatus) window.kelvanorStatus.frames = frames;
});
EM_JS(void, syncStorage, (), {
    var status = window.kelvanorStatus || {};
    if (status.storage !== 'idb') return;
    // One copy at a time: a change made while one is under way is copied when it is done.
    var storage = Module.kelvanorStorage = Module.kelvanorStorage || { busy: false, again: false };
    if (storage.busy) {
        storage.again = true;
        return;
    }
    var copy = function() {
        storage.busy = true;
        storage.again = false;
        FS.syncfs(false, function(error) {
            storage.busy = false;
            // Storage taken away mid-game (cleared, quota): the game goes on with the copy in memory.
            if (error) status.storage = 'none';
            else if (storage.again) copy();
        });
    };
    copy();
});
EM_JS(void, hideStartHint, (), {
    var hint = document.getElementById('hint');
    if (hint) hint.hidden = true;
});
EM_JS(void, requestFullScreenToggle, (), {
    if (window.kelvanorToggleFullScreen) window.kelvanorToggleFullScreen();
});
EM_JS(void, showClosingScreen, (), {
    var status = window.kelvanorStatus || {};
    status.closed = true;
    var canvas = document.getElementById('screen');
    if (canvas) canvas.hidden = true;
    ['hint', 'fullscreen'].forEach(function(id) {
        var element = document.getElementById(id);
        if (element) element.hidden = true;
    });
    var closing = document.getElementById('closed');
    if (closing) closing.hidden = false;
    // A fatal error (no WebGL 2, say) ends the program too, with its message written just before.
    var farewell = document.getElementById('farewell');
    if (farewell && status.lastError) farewell.textContent = 'Kelvanor had to stop: ' + status.lastError;
    if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function() {});
});
// clang-format on

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int kelvanorAnimationFrame(double nowMillis) {
    if (closed) return 0;
    ++animationFrames;
    const int frames = frameClock.framesFor(nowMillis);
    for (int i = 0; i < frames && !closed; ++i) {
        decodeMusicFor(MusicMillisPerFrame);
        frameStep();
        ++framesRun;
    }
    if (frames > 0) reportFrames(static_cast<int>(framesRun));
    flushStorage();
    return closed ? 0 : 1;
}

bool initPlatform() {
    static bool started = false;
    if (started) return true;
    started = true;
    startInputEvents();
    openSoundDevice();
    return true;
}

void runFrameLoop(void (*step)()) {
    frameStep = step;
    startAnimationFrames();
    // Back to the browser, which calls the loop from now on; the program stays alive.
    emscripten_exit_with_live_runtime();
    __builtin_unreachable();
}

long animationFrameNumber() {
    return animationFrames;
}

void gestureSeen() {
    if (gestures++ == 0) hideStartHint();
    startWebAudio();
}

void toggleFullScreen() {
    requestFullScreenToggle();
}

void backendFilesChanged() {
    filesChanged = true;
}

void flushStorage() {
    if (!filesChanged) return;
    filesChanged = false;
    syncStorage();
}

void pageLeaving() {
    if (closed) return;
    saveSettingsBeforeLeaving();
    flushStorage();
}

// The game has ended (QUIT, Escape on the title) after saving: the last files go to storage, the loop
// stops and the page says goodbye with a way to play again. A page cannot close its own tab.
void backendShutDown() {
    if (closed) return;
    closed = true;
    flushStorage();
    showClosingScreen();
}

// --- Run files the page trades with the player ---------------------------------------------------------

// Copies the run the game offers to the file the page's script downloads; 0 when there is none.
extern "C" EMSCRIPTEN_KEEPALIVE int kelvanorPrepareRunToSave() {
    const TPlainFileRead run = readPlainFile(runOfferedToSave(), 8 * 1024 * 1024);
    if (runOfferedToSave().empty() || run.state != PlainFileState::Read) return 0;
    std::FILE* file = std::fopen(PageFiles::ToSave, "wb");
    if (!file) return 0;
    const bool written = std::fwrite(run.bytes.data(), 1, run.bytes.size(), file) == run.bytes.size();
    return std::fclose(file) == 0 && written ? 1 : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE void kelvanorRunOpened() {
    markRunOpened();
}

extern "C" EMSCRIPTEN_KEEPALIVE int kelvanorWatchOutcome() {
    return watchOutcome();
}
