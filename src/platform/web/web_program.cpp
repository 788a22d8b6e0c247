// The page: starting up, the frame loop on the browser's animation frames, the first gesture, full
// screen, keeping the working directory in the browser's storage, and the end of the program.
//
// The working directory is a folder the page mounts from IndexedDB before the program starts (the pre-js
// file beside this one), so "config.ini" is read and written there exactly as on the desktop; every
// change is copied back to IndexedDB after the frame that made it. Where the browser refuses storage the
// folder lives in memory only and the game runs with its defaults.
//
// Two tabs of the game share one IndexedDB but each has its own copy of the folder, read at its start. So
// before a copy goes back, the settings file stored there is read: when another tab has stored one since
// this tab last read or stored it, it comes into the folder and the game saves again, merging that
// table with its own (as a save merges with the file on a disk), and only then is the folder copied
// back. A copy that fails is tried again at the next change, and the game tells the player meanwhile.
#include "platform/web/web_backend.h"

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/frame_pacing.h"
#include "platform/page_files.h"
#include "platform/platform_internal.h"
#include "platform/program.h"
#include "platform/sound_device.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

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
    if (status.storage !== 'idb' && status.storage !== 'failing') return;
    // One copy at a time: a change made while one is under way is copied when it is done.
    var storage = Module.kelvanorStorage = Module.kelvanorStorage || { busy: false, again: false, known: null };
    if (storage.busy) {
        storage.again = true;
        return;
    }
    var settingsPath = FS.cwd() + '/config.ini';
    var same = function(a, b) {
        if (!a || !b) return a === b;
        if (a.length !== b.length) return false;
        for (var i = 0; i < a.length; ++i)
            if (a[i] !== b[i]) return false;
        return true;
    };
    var inFolder = function() {
        try {
            return FS.readFile(settingsPath);
        } catch (e) {
            return null;
        }
    };
    // The settings file as IndexedDB holds it now (null when there is none), read the way the folder's
    // copies store it: one record per path, its bytes in "contents".
    var readStored = function(done) {
        IDBFS.getDB(FS.cwd(), function(error, db) {
            if (error) return done(null, error);
            try {
                var request = db.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA').get(settingsPath);
                request.onsuccess = function() {
                    var record = request.result;
                    done(record && record.contents ? new Uint8Array(record.contents) : null, null);
                };
                request.onerror = function() { done(null, request.error || 'read refused'); };
            } catch (e) {
                done(null, e);
            }
        });
    };
    var finish = function(error) {
        storage.busy = false;
        // Storage failing mid-game (cleared, quota): the copy in memory goes on, and the next change tries
        // again; the game says so on the screen meanwhile.
        status.storage = error ? 'failing' : 'idb';
        if (!error) storage.known = inFolder();
        if (storage.again) copy();
    };
    var copy = function() {
        storage.busy = true;
        storage.again = false;
        readStored(function(stored, error) {
            if (error) return finish(error);
            if (!same(stored, storage.known)) {
                // Another tab stored its table since: it comes in, and this game saves its own merged with it.
                if (stored) FS.writeFile(settingsPath, stored);
                storage.known = stored;
                Module['_kelvanorSettingsStoredElsewhere']();
            }
            FS.syncfs(false, finish);
        });
    };
    copy();
});
EM_JS(int, storageFailing, (), {
    var status = window.kelvanorStatus || {};
    return status.storage === 'failing' ? 1 : 0;
});
// A picture offered as a download: the browser's folder for downloads is one the player can open.
EM_JS(void, offerDownload, (const char* name, const char* bytes, int size), {
    var blob = new Blob([HEAPU8.slice(bytes, bytes + size)], { type: 'application/octet-stream' });
    var link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = UTF8ToString(name);
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
    var status = window.kelvanorStatus || {};
    status.downloads = (status.downloads || 0) + 1;
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

// The settings file another tab stored has just come into the folder: the game saves again, merging.
extern "C" EMSCRIPTEN_KEEPALIVE void kelvanorSettingsStoredElsewhere() {
    saveSettingsBeforeLeaving();
}

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

bool backendFilesAtRisk() {
    return storageFailing() != 0;
}

bool backendOfferFile(std::string_view name, std::string_view bytes) {
    offerDownload(std::string(name).c_str(), bytes.data(), static_cast<int>(bytes.size()));
    return true;
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
