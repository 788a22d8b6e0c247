// What a backend gives the platform core, and what the core gives a backend back. The core (this folder)
// builds the vertex batches, keeps the input state, mixes the sound, owns the files, the clock and
// replays, and decides what every backend shares: how the display opens, how frames are presented and
// paced, where the picture sits in the window and at what scale it is drawn, where the pointer lands. A
// backend (one folder below: sdl/, null/, web/) does the device work: the window, the graphics device,
// the event source, the audio device and the joypads. A program picks its backend by the library it
// links: each backend defines every function of the first half of this header, and nothing in the core
// asks which one it got. The desktop and the browser draw through the one OpenGL ES 3 / WebGL 2 module
// in gl/. Never included by the game.
//
// Besides these, a backend defines setWindowTitle and hidePointer (display.h), initPlatform and
// runFrameLoop (program.h), openSoundDevice (sound_device.h), loadSoundClipInBackground and
// waitForSoundClip (sound.h): how a backend decodes music is its own business.
#pragma once

#include <string_view>

#include "platform/input.h"
#include "platform/render.h"
#include "platform/replay_hooks.h"
#include "platform/window_layout.h"

#include <array>
#include <cstddef>
#include <cstdint>

// --- Provided by the backend ---------------------------------------------------------------------------

// Display. Opens the window (or takes the page's canvas) with its graphics context, full screen where
// asked and possible, sized for a logical picture of width x height; false when nothing can be drawn.
// Called once.
bool backendOpenDisplay(int width, int height, bool fullScreen);
// What the picture is shown in, now: in the units pointer positions come in (window coordinates, a
// page's CSS pixels) and in the drawable's own pixels, more of them on a high-DPI screen. Zero pixels
// while there is nothing to show the picture in (a minimised window).
struct TSurfaceSize {
    int width = 0, height = 0;
    int pixelWidth = 0, pixelHeight = 0;
};
TSurfaceSize backendSurfaceSize();
// Shows the picture target in that rectangle of the drawable (its pixels, top-left origin) with black
// around it, the present waiting for that many vertical blanks (0: none). False when the device refuses
// that wait; the frame is shown all the same. The target keeps its picture.
bool backendShowFrame(const TLetterbox& box, int interval);
// What the display device does for itself.
struct TDisplayDevice {
    // Frames are paced outside the core (a browser's animation frames; the null backend's programs, which
    // step frames as fast as they like) and presents never wait: the core neither measures the refresh
    // nor paces.
    bool pacesFrames = false;
    // There is a real pointer to move (backendPlacePointer); where there is none, the core reports where
    // the pointer starts itself.
    bool movesPointer = false;
    int reportedRefreshHertz = 0; // 0 when the display does not say
};
TDisplayDevice backendDisplayDevice();
// Moves the real pointer to this point of the surface (its units); the backend's events report it.
void backendPlacePointer(int surfaceX, int surfaceY);

// Graphics. Everything is drawn into one picture target, in logical coordinates that the device maps onto
// the whole target; pixel coordinates of the target run from the bottom-left, as in OpenGL.
// The target becomes width x height pixels, cleared; false when the device cannot have it that large.
bool gpuSetTargetSize(int width, int height);
// A texture from top-down RGBA pixels, filtered as the picture flags ask; 0 when the device cannot hold
// it (too large, out of memory).
uint32_t gpuCreateTexture(const uint8_t* rgba, int width, int height, int flags);
void gpuDeleteTexture(uint32_t texture);
// Gives a texture its smaller levels and samples them from then on where it is drawn smaller.
void gpuMakeMipmaps(uint32_t texture, bool filtered);
// Draws one finished batch of indexed triangles with one texture in one blend mode.
void gpuDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                      uint32_t texture, int blendMode);
// Fills the whole target with a colour (components 0..255).
void gpuClear(int red, int green, int blue);
// Reads a rectangle of the target's pixels into RGBA bytes, bottom row first.
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

// Once the device can draw: the batch, the target at the logical size, the white texture and the drawing
// state. False when the size differs from the renderer's already running, or the device cannot give the
// target or the white texture.
bool startRenderer(int width, int height);
// The logical pixel under a point of the surface (TSurfaceSize's width and height units), through the
// letterbox; points over the bars are clamped to the picture's edge.
TLogicalPoint logicalPointerAt(double surfaceX, double surfaceY);
// Joypad slots every backend numbers its pads in.
constexpr int PadSlots = 16;
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
