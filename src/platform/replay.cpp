// Recording and replaying runs: the two state machines. What the file says and how it says it is the
// replay file module's (replay_file.h); here a recorder writes the lines as the run makes them, and a
// replayer hands the game back what a file it has read whole says, frame by frame.
//
// Sections: recording · replaying · public operations · hooks.
//
// Input is tied to the pump that delivered it rather than to the frame alone: the pump runs before every
// input query, so a key pressed between two queries of one frame is seen by the second only, and a
// replay has to reproduce that. The clock reads of frame pacing do not come through here at all (the
// display reads the live clock), so a replay is the same however often pacing looked at the time.
#include "platform/replay.h"

#include "platform/input_events.h"
#include "platform/platform_internal.h"
#include "platform/random.h"
#include "platform/replay_file.h"
#include "platform/replay_hooks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace {

std::vector<TStateHash> currentHashes(const StateHashSource& hashes) {
    return hashes ? hashes() : std::vector<TStateHash>{};
}

// --- Recording -----------------------------------------------------------------------------------------

struct TRecorder {
    std::FILE* file = nullptr;
    std::string path;
    StateHashSource hashes;
    int frame = 0;
    int pump = -1; // the pump of this frame that is running; -1 before the first
    uint32_t lastClock = 0;
    std::vector<uint32_t> clockSteps; // this frame's
    std::string inputs;               // this frame's input lines
    // A frame without input waits here, so that the frames after it that are just like it can be
    // written as one line.
    std::vector<uint32_t> heldSteps;
    int heldRepeat = 0;
};

std::optional<TRecorder> recorder;

// A recording that cannot be written is no recording: the run ends rather than play on with nothing kept.
[[noreturn]] void recordingFailed(TRecorder& r) {
    const int error = errno ? errno : EIO;
    std::fprintf(stderr, "cannot write the recording %s: %s\n", r.path.c_str(), std::strerror(error));
    if (r.file) std::fclose(r.file);
    recorder.reset();
    endProcess(2);
}

void put(TRecorder& r, const std::string& lines) {
    errno = 0;
    if (std::fwrite(lines.data(), 1, lines.size(), r.file) != lines.size()) recordingFailed(r);
}

// Once a second (at each checkpoint) what was written reaches the system, so a full disk ends the run
// within a second of filling.
void pushOut(TRecorder& r) {
    errno = 0;
    if (std::fflush(r.file) != 0 || std::ferror(r.file)) recordingFailed(r);
}

void writeHeldFrame(TRecorder& r) {
    if (r.heldRepeat == 0) return;
    put(r, replayFrameLine(r.heldSteps, r.heldRepeat));
    r.heldRepeat = 0;
}

void writeFrame(TRecorder& r) {
    if (r.inputs.empty() && r.heldRepeat > 0 && r.heldSteps == r.clockSteps) {
        ++r.heldRepeat;
    } else {
        writeHeldFrame(r);
        if (r.inputs.empty()) {
            r.heldSteps = r.clockSteps;
            r.heldRepeat = 1;
        } else {
            put(r, replayFrameLine(r.clockSteps, 1) + r.inputs);
        }
    }
    r.clockSteps.clear();
    r.inputs.clear();
}

void endRecording(bool byExit) {
    if (!recorder) return;
    TRecorder& r = *recorder;
    writeHeldFrame(r);
    // A frame the program ended in the middle of still has its clock reads and input: the replay needs
    // them to get to the same end.
    if (!r.clockSteps.empty() || !r.inputs.empty()) put(r, replayFrameLine(r.clockSteps, 1) + r.inputs);
    put(r, replayEndLine(r.frame, byExit, currentHashes(r.hashes)));
    pushOut(r);
    std::FILE* file = std::exchange(r.file, nullptr);
    if (std::fclose(file) != 0) recordingFailed(r);
    recorder.reset();
}

// --- Replaying -----------------------------------------------------------------------------------------

struct TReplayer {
    TReplayFile file;
    std::optional<TReplayFrameCursor> cursor; // at the frame running
    StateHashSource hashes;
    bool exitWhenDone = false;
    int frame = 0;
    int pump = -1;
    size_t clockCursor = 0;
    size_t inputCursor = 0;
    size_t keptFileCursor = 0;
    uint32_t clock = 0;
    TReplayVerdict verdict;
};

std::optional<TReplayer> replayer;
TReplayVerdict lastVerdict;

std::vector<std::string> differingParts(const std::vector<TStateHash>& recorded,
                                        const std::vector<TStateHash>& now) {
    std::vector<std::string> parts;
    for (const TStateHash& part : recorded) {
        bool same = false;
        for (const TStateHash& other : now)
            same = same || other == part;
        if (!same) parts.push_back(part.part);
    }
    for (const TStateHash& part : now) {
        bool known = false;
        for (const TStateHash& other : recorded)
            known = known || other.part == part.part;
        if (!known) parts.push_back(part.part);
    }
    return parts;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

void finishReplay(TReplayer& r) {
    r.verdict.finished = true;
    lastVerdict = r.verdict;
    if (!r.exitWhenDone) return;
    std::fprintf(r.verdict.diverged ? stderr : stdout, "%s\n", r.verdict.message.c_str());
    endProcess(r.verdict.diverged ? 3 : 0);
}

void diverge(TReplayer& r, int frame, std::vector<std::string> parts, std::string message) {
    r.verdict.diverged = true;
    r.verdict.frame = frame;
    r.verdict.parts = std::move(parts);
    r.verdict.message = "replay diverged: " + message;
    finishReplay(r);
}

// True when the state matches; a mismatch ends the replay.
bool checkHashes(TReplayer& r, const std::vector<TStateHash>& recorded, int frame) {
    const std::vector<std::string> parts = differingParts(recorded, currentHashes(r.hashes));
    if (!parts.empty()) {
        diverge(r, frame, parts,
                "first differing checkpoint is frame " + std::to_string(frame) + " (" + joined(parts) + ")");
        return false;
    }
    ++r.verdict.checkpointsMatched;
    return true;
}

void matchedToTheEnd(TReplayer& r, const std::string& how) {
    r.verdict.message = "replay matched: " + std::to_string(r.verdict.checkpointsMatched) +
                        " checkpoints over " + std::to_string(r.frame) + " frames" + how;
    finishReplay(r);
}

void replayNextFrame(TReplayer& r) {
    const TReplayCheckpoint* checkpoint = r.file.checkpointAt(r.frame);
    if (checkpoint && !checkHashes(r, checkpoint->hashes, r.frame)) return;
    ++r.frame;
    r.cursor->next();
    r.pump = -1;
    r.clockCursor = 0;
    r.inputCursor = 0;
    const TReplayEnd& end = r.file.end;
    if (!end.byExit && r.frame == end.frame) {
        if (checkHashes(r, end.hashes, r.frame)) matchedToTheEnd(r, "");
    } else if (r.frame > end.frame) {
        diverge(r, r.frame, {},
                "the recorded run ended in frame " + std::to_string(end.frame) + ", the replay went on");
    }
}

} // namespace

// --- Public operations ---------------------------------------------------------------------------------

bool startRecording(const std::string& path, StateHashSource hashes) {
    stopRecording();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    recorder.emplace();
    recorder->file = file;
    recorder->path = path;
    recorder->hashes = std::move(hashes);
    // Some things draw from the generator before a run seeds it from the clock (the backdrop's stars).
    const std::string header = replayHeaderLines(randomState());
    // Written through at once, so that a path that takes nothing (a full disk) is known before the run.
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size() || std::fflush(file) != 0) {
        std::fclose(file);
        recorder.reset();
        return false;
    }
    beginInputRecording();
    return true;
}

void stopRecording() {
    endRecording(false);
}

bool isRecording() {
    return recorder.has_value();
}

bool startReplay(const std::string& path, StateHashSource hashes, bool exitWhenDone) {
    stopReplay();
    TReplayRead read = readReplayFile(path);
    if (!read.file) {
        std::fprintf(stderr, "cannot replay %s: %s\n", path.c_str(), read.refusal.c_str());
        return false;
    }
    replayer.emplace();
    replayer->file = std::move(*read.file);
    replayer->cursor.emplace(replayer->file);
    replayer->hashes = std::move(hashes);
    replayer->exitWhenDone = exitWhenDone;
    lastVerdict = {};
    beginInputReplay();
    seedRandom(replayer->file.randomState);
    return true;
}

void stopReplay() {
    if (replayer) lastVerdict = replayer->verdict;
    replayer.reset();
}

bool isReplaying() {
    return replayer.has_value() && !replayer->verdict.finished;
}

const TReplayVerdict& replayVerdict() {
    return replayer ? replayer->verdict : lastVerdict;
}

// --- Hooks ---------------------------------------------------------------------------------------------

int replayClock(int liveMillis) {
    if (recorder) {
        const uint32_t now = static_cast<uint32_t>(liveMillis);
        recorder->clockSteps.push_back(now - recorder->lastClock);
        recorder->lastClock = now;
        return liveMillis;
    }
    if (!isReplaying()) return liveMillis;
    TReplayer& r = *replayer;
    // A replay that reads the clock more often than the recording did has left the recorded path; the
    // clock then stands still until the checkpoints say so.
    const std::span<const uint32_t> steps = r.cursor->clockSteps();
    if (r.clockCursor < steps.size()) r.clock += steps[r.clockCursor++];
    return static_cast<int>(r.clock);
}

bool replayPump(const std::function<void(const TInputRecord&)>& apply) {
    if (recorder) ++recorder->pump;
    if (!isReplaying()) return false;
    TReplayer& r = *replayer;
    ++r.pump;
    const std::span<const TReplayInput> inputs = r.cursor->inputs();
    while (r.inputCursor < inputs.size() && inputs[r.inputCursor].pump <= r.pump)
        apply(inputs[r.inputCursor++].record);
    return true;
}

void recordInput(const TInputRecord& record) {
    if (!recorder) return;
    recorder->inputs += replayInputLine(std::max(recorder->pump, 0), record);
}

TPlainFileRead replayPlainFileRead(std::string_view path,
                                   const std::function<TPlainFileRead()>& readFromDisk) {
    if (isReplaying()) {
        TReplayer& r = *replayer;
        const std::vector<TReplayKeptFile>& kept = r.file.keptFiles;
        if (r.keptFileCursor < kept.size() && kept[r.keptFileCursor].path == path)
            return kept[r.keptFileCursor++].read;
        return {};
    }
    TPlainFileRead read = readFromDisk();
    if (recorder) put(*recorder, replayKeptFileLine(path, read));
    return read;
}

bool replayDiscardsWrites() {
    return isReplaying();
}

void replayFrameEnded() {
    if (recorder) {
        TRecorder& r = *recorder;
        writeFrame(r);
        if (r.frame % ReplayCheckpointFrames == 0) {
            writeHeldFrame(r);
            put(r, replayCheckpointLine(r.frame, currentHashes(r.hashes)));
            pushOut(r);
        }
        ++r.frame;
        r.pump = -1;
    }
    if (isReplaying()) replayNextFrame(*replayer);
}

bool replayRunsUnpaced() {
    return isReplaying();
}

void replayProgramEnding() {
    endRecording(true);
    if (!isReplaying()) return;
    TReplayer& r = *replayer;
    const TReplayEnd& end = r.file.end;
    if (end.byExit && end.frame == r.frame) {
        if (checkHashes(r, end.hashes, r.frame)) matchedToTheEnd(r, ", to the program's end");
    } else {
        diverge(r, r.frame, {},
                "the program ended in frame " + std::to_string(r.frame) + ", the recorded run in frame " +
                    std::to_string(end.frame));
    }
}
