// Sound clips decoded off the game thread: one worker, started on first use, decodes the queued clips in
// the order they were asked for, so the clip needed first is ready first.
//
// An embedded file is decoded once per process: its bytes are part of the executable and cannot change,
// so a game made again in the same process (the tests make one per case, some several) is given the clips
// the first one asked for, whole or still decoding, instead of queuing the same minutes of music again.
//
// The clip is shared from the start, but only the worker touches its samples, rate and layout until it
// fulfils the clip's promise. Waiting on the clip's future is what makes them visible to the game thread,
// and the game thread hands a clip to the mixer only after that wait, under the mixer's lock.
#include "platform/assets.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "platform/sound_decoders.h"

#include <strings.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace {

struct TDecodeJob {
    std::shared_ptr<TSoundClip> clip;
    std::unique_ptr<TStream> stream;
    std::promise<void> done;
};

struct TDecodeQueue {
    std::mutex lock;
    std::condition_variable waiting;
    std::deque<TDecodeJob> jobs;
    bool workerStarted = false;
    // Embedded clips already asked for, by name and whether they loop.
    std::map<std::pair<std::string, bool>, SoundClip> embedded;
};

// Never destroyed: the worker may still be decoding while the process ends.
TDecodeQueue& decodeQueue() {
    static TDecodeQueue* queue = new TDecodeQueue;
    return *queue;
}

void decode(TDecodeJob& job) {
    if (const std::shared_ptr<TSoundClip> whole = decodeOggVorbis(*job.stream)) {
        job.clip->samples = std::move(whole->samples);
        job.clip->sampleRate = whole->sampleRate;
        job.clip->channelCount = whole->channelCount;
    }
    job.done.set_value();
}

[[noreturn]] void decodeForever() {
    TDecodeQueue& queue = decodeQueue();
    for (;;) {
        std::unique_lock guard(queue.lock);
        queue.waiting.wait(guard, [&queue] { return !queue.jobs.empty(); });
        TDecodeJob job = std::move(queue.jobs.front());
        queue.jobs.pop_front();
        guard.unlock();
        decode(job);
    }
}

void enqueue(TDecodeJob job) {
    TDecodeQueue& queue = decodeQueue();
    {
        std::lock_guard guard(queue.lock);
        queue.jobs.push_back(std::move(job));
        if (!queue.workerStarted) {
            std::thread(decodeForever).detach();
            queue.workerStarted = true;
        }
    }
    queue.waiting.notify_one();
}

// The asset store reads the protocol without regard to case: "INCBIN::a.ogg" is "incbin::a.ogg".
constexpr std::string_view EmbeddedPrefix = "incbin::";

bool isEmbeddedName(std::string_view name) {
    return name.size() > EmbeddedPrefix.size() &&
           strncasecmp(name.data(), EmbeddedPrefix.data(), EmbeddedPrefix.size()) == 0;
}

bool isOggStream(TStream& stream) {
    char magic[4] = {};
    const bool ogg = stream.read(magic, 4) == 4 && std::string_view(magic, 4) == "OggS";
    return stream.seek(0, SEEK_SET) && ogg;
}

} // namespace

SoundClip loadSoundClipInBackground(std::string_view name, int flags) {
    const bool embedded = isEmbeddedName(name);
    const std::pair<std::string, bool> key(name.substr(embedded ? EmbeddedPrefix.size() : 0), flags != 0);
    if (embedded) {
        TDecodeQueue& queue = decodeQueue();
        std::lock_guard guard(queue.lock);
        if (const auto known = queue.embedded.find(key); known != queue.embedded.end()) return known->second;
    }
    std::unique_ptr<TStream> stream = openStream(name, false);
    if (!stream) return nullptr;
    if (!isOggStream(*stream)) return loadSoundClip(name, flags);
    TDecodeJob job;
    job.clip = std::make_shared<TSoundClip>();
    job.clip->loop = flags != 0;
    job.clip->decoded = job.done.get_future().share();
    job.stream = std::move(stream);
    SoundClip clip = job.clip;
    if (embedded) {
        TDecodeQueue& queue = decodeQueue();
        std::lock_guard guard(queue.lock);
        queue.embedded.emplace(key, clip);
    }
    enqueue(std::move(job));
    return clip;
}

void waitForSoundClip(const SoundClip& clip) {
    if (clip && clip->decoded.valid()) clip->decoded.wait();
}
