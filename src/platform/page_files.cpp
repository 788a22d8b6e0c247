#include "platform/page_files.h"

namespace {
std::string offered;
bool opened = false;
int outcome = 0;
} // namespace

void offerRunToSave(std::string_view path) {
    if (offered != path) offered.assign(path);
}

const std::string& runOfferedToSave() {
    return offered;
}

void markRunOpened() {
    opened = true;
}

bool runOpenedPending() {
    return opened;
}

bool takeRunOpened() {
    const bool was = opened;
    opened = false;
    return was;
}

void setWatchOutcome(int value) {
    outcome = value;
}

int watchOutcome() {
    return outcome;
}
