// One libFuzzer target. The build compiles this file once per loader, naming it in KELVANOR_FUZZ_TARGET.
//
// Loading is the game's own business; here a broken promise (a fault from the checks) becomes a crash, so
// that libFuzzer keeps the input that caused it.
#include "fuzz_targets.h"

#include "platform/assets.h"

#include <cstdio>
#include <cstdlib>

namespace {

const TLoadTarget* target = nullptr;

} // namespace

// The targets carry none of the game's embedded files: every byte a loader sees comes from the fuzzer.
// The game's start-up, which registers them, is linked in with the rest of the core but never runs here.
void registerEmbeddedAssets() {}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const TLoadTarget& candidate : loadTargets)
        if (candidate.name == KELVANOR_FUZZ_TARGET) target = &candidate;
    if (!target) {
        std::fprintf(stderr, "no load target named %s\n", KELVANOR_FUZZ_TARGET);
        std::exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const TLoadCheck check = target->check(bytes, size);
    if (!check.fault.empty()) {
        std::fprintf(stderr, "%s: %s\n", KELVANOR_FUZZ_TARGET, check.fault.c_str());
        std::abort();
    }
    return 0;
}
