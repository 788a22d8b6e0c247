// What a backend gives the platform core, and what the core gives a backend back. The core (this folder)
// builds the vertex batches, keeps the input state, mixes the sound and owns the files, the clock and
// replays; a backend (one folder below: sdl/, null/, ...) owns the window, the graphics device, the event
// source, the audio device and the joypads. A program picks its backend by the library it links: each
// backend defines every function of the first half of this header, and nothing in the core asks which
// one it got. Never included by the game.
//
// Besides these, a backend defines the display operations that are about the window itself:
// openGraphicsWindow, setWindowTitle, hidePointer and presentFrame (display.h), initPlatform and
// runFrameLoop (program.h), openSoundDevice (sound_device.h), loadSoundClipInBackground and
// waitForSoundClip (sound.h): how a backend paces frames and decodes music is its own business.
#pragma once

#include <string_view>

#include "platform/input.h"
#include "platform/render.h"
#include "platform/replay_hooks.h"

#include <array>
#include <cstddef>
#include <cstdint>

// --- Provided by the backend ---------------------------------------------------------------------------

// Graphics. Everything is drawn into one target of the logical screen size; coordinates of the target
// run from the bottom-left, as in OpenGL.
// A texture from top-down RGBA pixels, filtered as the picture flags ask; 0 when the device cannot hold
// it (too large, out of memory).
uint32_t gpuCreateTexture(const uint8_t* rgba, int width, int height, int flags);
void gpuDeleteTexture(uint32_t texture);
// Draws one finished batch of indexed triangles with one texture in one blend mode.
void gpuDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                      uint32_t texture, int blendMode);
// Fills the whole target with a colour (components 0..255).
void gpuClear(int red, int green, int blue);
// Reads a rectangle of the target into RGBA bytes, bottom row first.
void gpuReadPixels(int x, int y, int width, int height, uint8_t* rgba);

// Input. Runs the backend's event source: every event the game cares about goes to deliverInput as an
// input record. backendDropEvents empties the source without delivering anything (a replay is running),
// ending the process if the user asked it to close.
void backendPumpEvents();
void backendDropEvents();
// The joypad in that slot now; false when there is none or it cannot be read (the last values stay).
struct TPadReading {
    uint32_t buttons = 0;
    std::array<float, 6> axes{}; // X, Y, Z, R, U, V in -1..1
};
bool backendReadPad(int slot, TPadReading& reading);

// Sound. True while an audio device pulls the mix by itself (see mixSoundChannels); otherwise the core
// advances the channels by the platform clock, so sounds still end.
bool soundDeviceRunning();

// Files. Something in the working directory was written, replaced or removed. A backend whose files are
// kept somewhere else than a disk (a browser's storage) carries the change over; the others do nothing.
void backendFilesChanged();
// True while the files cannot be kept where the player's files live (a browser whose storage refuses
// writes): what is saved then lasts only as long as the page.
bool backendFilesAtRisk();
// Hands a file to the player instead of the working directory (the browser's download); false where the
// backend has no such way.
bool backendOfferFile(std::string_view name, std::string_view bytes);

// Program. Lets go of the devices before the process ends (restores the display mode, stops the audio
// thread); safe to call when nothing was started.
void backendShutDown();

// --- Provided by the core ------------------------------------------------------------------------------

// Once the target exists: the batch, the white texture and the drawing state. False when the size differs
// from the renderer's already running, or the white texture cannot be made.
bool startRenderer(int width, int height);
// A live input event: written down when recording, then applied to the input state.
void deliverInput(const TInputRecord& record);
// A joypad is in that slot from now on, with that layout (what the game is told of a pad that was there
// before any event; a pad that arrives later comes as a PadAdded record, then PadLayout when known).
void padPlugged(int slot, const TPadLayout& layout);
// The joypad in that slot is gone: it reads as released at once, whatever it held.
void padUnplugged(int slot);
// What tells of a pad arriving in that slot: a PadAdded record, then a PadLayout record with the layout's
// numbers when the layout is known. Every backend and the recorder say it alike.
struct TPadArrival {
    std::array<TInputRecord, 2> records;
    int count = 1;
    const TInputRecord* begin() const { return records.data(); }
    const TInputRecord* end() const { return records.data() + count; }
};
TPadArrival padArrival(int slot, const TPadLayout& layout);
// Every joypad slot back to rest (the backend's joypad driver restarted).
void resetPads();
// Mixes every playing channel into frames of interleaved 16-bit stereo at 44100 Hz; a null output only
// advances them. Called from the audio device's own thread.
void mixSoundChannels(int16_t* output, size_t frames);
