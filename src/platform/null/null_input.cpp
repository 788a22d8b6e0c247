// The null backend's event source: input queued by the program itself, and joypads it sets by hand.
#include "platform/null/null_backend.h"

#include "platform/platform_internal.h"

#include <array>
#include <deque>
#include <optional>

namespace {

constexpr int PadCount = PadSlots; // the core numbers the slots for every backend

std::deque<TInputRecord> queued;
std::array<std::optional<TPadReading>, PadCount> pads;

} // namespace

void queueNullInput(const TInputRecord& record) {
    queued.push_back(record);
}

void plugNullPad(int slot, const TPadLayout& layout) {
    if (slot < 0 || slot >= PadCount || pads[slot]) return;
    pads[slot] = TPadReading{};
    for (const TInputRecord& record : padArrival(slot, layout))
        queued.push_back(record);
}

void setNullPad(int slot, const TPadReading& reading) {
    if (slot < 0 || slot >= PadCount) return;
    if (!pads[slot]) plugNullPad(slot, TPadLayout{});
    pads[slot] = reading;
}

void removeNullPad(int slot) {
    if (slot < 0 || slot >= PadCount || !pads[slot]) return;
    pads[slot].reset();
    padUnplugged(slot);
    TInputRecord removed;
    removed.kind = InputKind::PadRemoved;
    removed.code = slot;
    queued.push_back(removed);
}

void backendPumpEvents() {
    if (takeCloseRequest()) {
        TInputRecord quit;
        quit.kind = InputKind::Quit;
        queued.push_back(quit);
    }
    while (!queued.empty()) {
        const TInputRecord record = std::move(queued.front());
        queued.pop_front();
        deliverInput(record);
    }
}

// A replay takes no live input; a request to close still ends it, since it may run for a while.
void backendDropEvents() {
    queued.clear();
    if (takeCloseRequest()) endProcess(130);
}

bool backendReadPad(int slot, TPadReading& reading) {
    if (slot < 0 || slot >= PadCount || !pads[slot]) return false;
    reading = *pads[slot];
    return true;
}
