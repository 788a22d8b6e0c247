// Opening the display and presenting frames, the same for every backend: the drawing state and the first
// presents, where the pointer starts, the replay hook, frame pacing, the render scale, and where a pointer
// on the window lands in the picture. The backend only does what its device does (backend.h).
//
// Pacing (the decisions are frame_pacing's): a full-screen display's refresh is measured during the first
// frames, not before the first one: every frame after the first is followed by one more present of the
// same picture, and the gap between the two, both waiting for the vertical blank, is what the refresh
// probe judges. Until it has its answer (well under a second) frames are released by the millisecond
// clock. A display that proves a steady refresh then shows each frame for as many refreshes as keep sixty
// frames a second on average (the swap interval, or repeated presents where the driver takes no interval
// above 1); otherwise the clock keeps releasing frames, one every 1000/hertz ms on average, never
// catching up lost ones.
//
// Render scale (render_scale.h): at every present the letterbox of the drawable is measured; the target
// size the choice gives for it is taken at the start of the next frame. Game frames feed the automatic
// choice their period and busy time.
//
// Sections: render scale · pacing · display and frame · pointer.
#include "platform/display.h"

#include "platform/backend.h"
#include "platform/frame_pacing.h"
#include "platform/platform_internal.h"
#include "platform/program.h"
#include "platform/render.h"
#include "platform/render_scale.h"
#include "platform/replay_hooks.h"
#include "platform/window_layout.h"

#include <algorithm>
#include <optional>

namespace {

bool displayOpen = false;

// --- Render scale --------------------------------------------------------------------------------------

TRenderScaleChoice scaleChoice;
TAutoRenderScale autoScale;
TLetterbox lastBox{0, 0, 0, 0};

TLetterbox drawableLetterbox(const TSurfaceSize& surface) {
    return letterbox(surface.pixelWidth, surface.pixelHeight, logicalWidth(), logicalHeight());
}

double chosenScale(const TLetterbox& box) {
    switch (scaleChoice.mode) {
    case RenderScaleMode::Native:
        return nativeScaleOf(box, logicalWidth());
    case RenderScaleMode::Fixed:
        return scaleChoice.fixed;
    case RenderScaleMode::Auto:
        break;
    }
    return autoScale.scale();
}

// The target size for the letterbox the drawable has now; a letterbox of another size starts the
// automatic choice over.
void chooseTargetSize(const TLetterbox& box) {
    if (box.w <= 0 || box.h <= 0) return;
    if (box.w != lastBox.w || box.h != lastBox.h) {
        lastBox = box;
        autoScale.start(nativeScaleOf(box, logicalWidth()), logicalWidth(), logicalHeight());
    }
    const TTargetSize size = targetSizeFor(chosenScale(box), box, logicalWidth(), logicalHeight());
    requestTargetPixelSize(size.width, size.height);
}

// --- Pacing --------------------------------------------------------------------------------------------

TFramePacer pacer;
int frameHertz = 0;
int pacingStart = 0;
bool longIntervalsRefused = false; // the driver takes 0 and 1 only
// While the refresh is being measured, during the first frames.
std::optional<TRefreshProbe> probe;
long gameFramesShown = 0;
// For the automatic scale: when the last game frame was shown, and the pacing's sleeps since.
int64_t lastFrameShownMicros = -1;
int64_t pacingSleepMicros = 0;

// Clock differences stay right across the 32-bit wrap of the millisecond count. Pacing reads the live
// clock, which recordings never see: how often it looks must not matter to a replay.
int millisSince(int start) {
    return static_cast<int>(static_cast<uint32_t>(liveMillis()) - static_cast<uint32_t>(start));
}

void sleepForPacing(int millis) {
    if (millis <= 0) return;
    const int64_t before = liveMicros();
    sleepMillis(millis);
    pacingSleepMicros += liveMicros() - before;
}

// False when the device refused the interval (the frame is shown anyway).
bool showTarget(int interval) {
    flushBatch();
    const TSurfaceSize surface = backendSurfaceSize();
    const TLetterbox box = drawableLetterbox(surface);
    // A minimised window has nothing to show the picture in; the frame keeps its cadence anyway.
    const bool shown = surface.pixelWidth > 0 && surface.pixelHeight > 0;
    const bool taken = backendShowFrame(shown ? box : TLetterbox{0, 0, 0, 0}, interval);
    chooseTargetSize(box);
    return taken;
}

// One frame of vertical-blank pacing: on screen for the refreshes the pacer gives it.
void presentOnRefreshes() {
    const int refreshes = pacer.nextFrameRefreshes();
    int shown = 0;
    if (!longIntervalsRefused) {
        longIntervalsRefused = !showTarget(refreshes);
        shown = longIntervalsRefused ? 1 : refreshes;
    }
    // The same picture again on each refresh: the target is still there after a present.
    for (; shown < refreshes; ++shown)
        showTarget(1);
    const int64_t sleep = pacer.frameShown(liveMicros(), refreshes);
    if (sleep > 0) sleepForPacing(static_cast<int>((sleep + 500) / 1000));
}

// While measuring: the frame by the clock, then the same picture again, both waiting for the vertical
// blank; the probe sees only the gap between the two, which no game work lengthens. The first frame goes
// out alone, so that measuring never delays the first picture.
void presentWhileMeasuring() {
    sleepForPacing(pacer.clockWaitMillis(millisSince(pacingStart)));
    if (!showTarget(1)) {
        probe.reset(); // the driver refuses the wait: nothing to measure
        return;
    }
    if (gameFramesShown == 0) return;
    probe->resumeAt(liveMicros());
    sleepForPacing(probe->sleepBeforeNextMillis());
    showTarget(1);
    probe->presented(liveMicros());
    if (!probe->settled()) return;
    pacer.start(frameHertz, probe->measure());
    pacingStart = liveMillis();
    probe.reset();
}

// A game frame has been shown: its period and busy time go to the automatic scale, except while the
// refresh is measured (its extra presents are no part of the frame's cost).
void gameFrameShown(bool measuring) {
    const int64_t now = liveMicros();
    if (lastFrameShownMicros >= 0 && !measuring && lastBox.w > 0) {
        const int64_t period = now - lastFrameShownMicros;
        if (autoScale.frameShown(period, period - pacingSleepMicros) &&
            scaleChoice.mode == RenderScaleMode::Auto)
            chooseTargetSize(lastBox);
    }
    lastFrameShownMicros = now;
    pacingSleepMicros = 0;
    ++gameFramesShown;
}

} // namespace

// --- Render scale --------------------------------------------------------------------------------------

bool setRenderScale(std::string_view choice) {
    TRenderScaleChoice parsed;
    if (!parseRenderScaleChoice(choice, parsed)) return false;
    scaleChoice = parsed;
    if (displayOpen) chooseTargetSize(drawableLetterbox(backendSurfaceSize()));
    return true;
}

float renderScale() {
    return static_cast<float>(targetPixelWidth()) / static_cast<float>(logicalWidth());
}

// --- Display and frame ---------------------------------------------------------------------------------

bool openGraphicsWindow(int width, int height, int depth, int hertz, int flags) {
    (void)flags;
    if (width <= 0 || height <= 0 || hertz < 0) return false;
    if (!displayOpen) {
        if (!backendOpenDisplay(width, height, depth != 0) || !startRenderer(width, height)) return false;
        displayOpen = true;
    }
    resetDrawingState();
    // The automatic scale learns afresh too.
    autoScale = TAutoRenderScale{};
    lastBox = {0, 0, 0, 0};
    chooseTargetSize(drawableLetterbox(backendSurfaceSize()));
    for (int i = 0; i < 2; ++i) {
        clearFrame();
        presentFrame(0);
    }
    // The pointer starts in the middle of the picture.
    const TSurfaceSize surface = backendSurfaceSize();
    const TLetterbox box = letterbox(surface.width, surface.height, width, height);
    const TDisplayDevice device = backendDisplayDevice();
    if (device.movesPointer) {
        backendPlacePointer(box.x + box.w / 2, box.y + box.h / 2);
    } else {
        TInputRecord pointer;
        pointer.kind = InputKind::Pointer;
        pointer.x = width / 2;
        pointer.y = height / 2;
        deliverInputAtNextPump(pointer);
    }

    frameHertz = device.pacesFrames ? 0 : hertz;
    const bool measure = frameHertz > 0 && depth != 0;
    probe.reset();
    if (measure) probe.emplace(device.reportedRefreshHertz, liveMicros());
    pacer.start(frameHertz, TRefreshMeasure{});
    pacingStart = liveMillis();
    gameFramesShown = 0;
    lastFrameShownMicros = -1;
    return true;
}

void presentFrame(int sync) {
    // Only the game's own frames (sync -1) count as frames of a recording.
    if (sync < 0) replayFrameEnded();
    if (!displayOpen) return;
    const bool measuring = probe.has_value();
    if (sync >= 0 || replayRunsUnpaced()) {
        showTarget(sync >= 0 ? sync : 0);
    } else if (probe) {
        presentWhileMeasuring();
    } else if (pacer.mode() == PacingMode::VerticalBlank) {
        presentOnRefreshes();
    } else {
        // The clock paces, or nothing does: frames go out as fast as they are drawn.
        sleepForPacing(pacer.clockWaitMillis(millisSince(pacingStart)));
        showTarget(0);
    }
    if (sync < 0) gameFrameShown(measuring);
    frameShown();
}

int pacingRefreshHertz() {
    return pacer.mode() == PacingMode::VerticalBlank ? pacer.refreshHertz() : 0;
}

// --- Pointer -------------------------------------------------------------------------------------------

TLogicalPoint logicalPointerAt(double surfaceX, double surfaceY) {
    const TSurfaceSize surface = backendSurfaceSize();
    const TLetterbox box =
        letterbox(std::max(surface.width, 1), std::max(surface.height, 1), logicalWidth(), logicalHeight());
    return logicalPointIn(box, surfaceX, surfaceY, logicalWidth(), logicalHeight());
}
