// Sound in the browser, without threads. Web Audio pulls the core's mix from a script processor, whose
// callback runs on the page's own thread between animation frames, so the mixer is never used by two
// threads at once. Browsers let audio start only in answer to a key or a click: until then, or where
// audio is refused, no device runs and the core advances the channels by the clock, silently.
//
// Music tracks are decoded a piece at a time between frames, one track after another in the order asked.
// A track that is wanted before it is whole is finished at once (the title track, which starts with
// the game, is decoded before the first frame).
#include "platform/web/web_backend.h"

#include "platform/assets.h"
#include "platform/backend.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "platform/sound_decoders.h"
#include "platform/sound_device.h"

#include <emscripten/emscripten.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <future>
#include <string_view>
#include <vector>

namespace {

// --- Output --------------------------------------------------------------------------------------------

// At most one callback's worth: Web Audio asks for 1024 frames at a time, more when it resamples.
constexpr size_t LargestMix = 8192;
std::vector<int16_t> mixBuffer(LargestMix * 2);

// clang-format off
EM_JS(void, openAudioOutput, (int rate), {
    var status = window.kelvanorStatus || {};
    if (Module.kelvanorAudio) {
        // A context the browser held back (no gesture it counted, a tab in the background) tries again.
        if (Module.kelvanorAudio.context.state === 'suspended') Module.kelvanorAudio.context.resume().catch(function() {});
        return;
    }
    var refuse = function() { status.audio = 'refused'; Module.kelvanorAudioRunning = false; };
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) { refuse(); return; }
    var context;
    try { context = new Context({ sampleRate: rate }); } catch (e) {
        try { context = new Context(); } catch (e2) { refuse(); return; }
    }
    var processor;
    try { processor = context.createScriptProcessor(1024, 0, 2); } catch (e) { refuse(); return; }
    // A device at another rate still hears the mix at its pitch: the mix is stretched to its rate.
    var step = rate / context.sampleRate;
    processor.onaudioprocess = function(event) {
        var left = event.outputBuffer.getChannelData(0);
        var right = event.outputBuffer.getChannelData(1);
        var frames = left.length;
        var wanted = Math.min(Math.ceil(frames * step) + 1, 8192);
        var at = Module['_kelvanorMixAudio'](wanted) >> 1;
        for (var i = 0; i < frames; ++i) {
            var source = Math.min(Math.floor(i * step), wanted - 1) * 2 + at;
            left[i] = HEAP16[source] / 32768;
            right[i] = HEAP16[source + 1] / 32768;
        }
    };
    processor.connect(context.destination);
    Module.kelvanorAudio = { context: context, processor: processor };
    var update = function() {
        Module.kelvanorAudioRunning = context.state === 'running';
        status.audio = context.state === 'running' ? 'running' : (context.state === 'closed' ? 'refused' : status.audio);
    };
    context.onstatechange = update;
    var started = context.resume();
    if (started && started.then) started.then(update, refuse);
    update();
});
EM_JS(int, audioOutputRunning, (), {
    return Module.kelvanorAudioRunning ? 1 : 0;
});
// clang-format on

// --- Music decoded between frames ----------------------------------------------------------------------

// clang-format off
EM_JS(void, reportMusicDecoded, (int ready), {
    if (window.kelvanorStatus) window.kelvanorStatus.musicReady = !!ready;
});
// clang-format on

struct TDecodeJob {
    std::shared_ptr<TSoundClip> clip;
    std::unique_ptr<TStream> stream;
    std::unique_ptr<TOggDecoder> decoder;
    std::promise<void> done;
    bool opened = false;
};

std::deque<TDecodeJob> jobs;
constexpr size_t FramesPerPiece = 4096; // about 2 ms of decoding here

// One piece of the job; true when the job is finished (whole, or found damaged: then it plays as silence).
bool decodePiece(TDecodeJob& job) {
    if (!job.opened) {
        job.opened = true;
        if (oggStreamIsWhole(*job.stream)) job.decoder = openOggDecoder(*job.stream, *job.clip);
        if (!job.decoder) return true;
    }
    switch (job.decoder->decode(*job.clip, FramesPerPiece)) {
    case TOggDecoder::Step::More:
        return false;
    case TOggDecoder::Step::Done:
        return true;
    case TOggDecoder::Step::Failed:
        job.clip->samples.clear();
        return true;
    }
    return true;
}

void finish(std::deque<TDecodeJob>::iterator job) {
    job->decoder.reset();
    job->done.set_value();
    jobs.erase(job);
    reportMusicDecoded(jobs.empty());
}

bool isOggStream(TStream& stream) {
    char magic[4] = {};
    const bool ogg = stream.read(magic, 4) == 4 && std::string_view(magic, 4) == "OggS";
    return stream.seek(0, SEEK_SET) && ogg;
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int16_t* kelvanorMixAudio(int frames) {
    const size_t count = frames < 0 ? 0 : static_cast<size_t>(frames) > LargestMix ? LargestMix : frames;
    mixSoundChannels(mixBuffer.data(), count);
    return mixBuffer.data();
}

void openSoundDevice() {} // the device opens on the first gesture (startWebAudio)

void startWebAudio() {
    if (!soundDeviceRunning()) openAudioOutput(TMixer::OutputRate);
}

bool soundDeviceRunning() {
    return audioOutputRunning() != 0;
}

void decodeMusicFor(double millis) {
    const auto start = std::chrono::steady_clock::now();
    while (!jobs.empty()) {
        if (decodePiece(jobs.front())) finish(jobs.begin());
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
        if (spent.count() >= millis) return;
    }
}

SoundClip loadSoundClipInBackground(std::string_view name, int flags) {
    std::unique_ptr<TStream> stream = openStream(name, false);
    if (!stream) return nullptr;
    if (!isOggStream(*stream)) return loadSoundClip(name, flags);
    TDecodeJob job;
    job.clip = std::make_shared<TSoundClip>();
    job.clip->loop = flags != 0;
    job.clip->decoded = job.done.get_future().share();
    job.stream = std::move(stream);
    SoundClip clip = job.clip;
    jobs.push_back(std::move(job));
    reportMusicDecoded(false);
    return clip;
}

void waitForSoundClip(const SoundClip& clip) {
    if (!clip) return;
    for (auto job = jobs.begin(); job != jobs.end(); ++job) {
        if (job->clip != clip) continue;
        while (!decodePiece(*job))
            continue;
        finish(job);
        return;
    }
}
