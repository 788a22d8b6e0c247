// The null backend has no devices to start or to let go of. Termination signals still reach the game as a
// request to close, as they do on the desktop, so a run stopped from outside saves its settings.
#include "platform/null/null_backend.h"

#include "platform/platform_internal.h"
#include "platform/program.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t closeRequested = 0;
long filesChanged = 0;

void onTerminationSignal(int) {
    closeRequested = 1;
}

} // namespace

bool initPlatform() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return true;
}

void backendShutDown() {}

bool takeCloseRequest() {
    if (closeRequested == 0) return false;
    closeRequested = 0;
    return true;
}

void runFrameLoop(void (*step)()) {
    for (;;)
        step();
}

bool backendFilesAtRisk() {
    return false;
}

bool backendOfferFile(std::string_view, std::string_view) {
    return false;
}

void backendFilesChanged() {
    ++filesChanged;
}

long nullFilesChanged() {
    return filesChanged;
}
