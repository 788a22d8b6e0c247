// The replay file: one definition of its format, read and written side by side. The recorder and the
// replayer (replay.cpp) hold the state of a run being written or played; this module only turns records
// into lines and lines into records, and refuses any file it cannot trust.
//
// A replay file may come from anyone, so reading it promises three things. Every number is checked
// against the range the game can produce (a clock step is a frame's worth of milliseconds, an axis value
// lies in [-1, 1], a pointer lies on the 800 x 600 picture). Repeats stay run-length: a frame line said to
// repeat two billion times costs one entry, and memory is a small multiple of the file's size. And a file
// is taken only whole: it must end with its end line, at the frame its frame lines add up to, with a
// checkpoint at every frame the recorder took one; anything else is refused with one line saying why.
#pragma once

#include "platform/files.h"
#include "platform/replay.h"
#include "platform/replay_hooks.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view ReplayFileHeader = "kelvanor-replay 1";
// An hour of play with a pad writes some 15 MB (its axes change every frame), a run with keys far less.
// Read, a file takes its own size again plus about five bytes per byte of frame lines: input lines are
// kept as text and decoded a frame at a time, so this limit is also what bounds a hostile file's cost.
constexpr size_t ReplayFileByteLimit = size_t{32} << 20;
// A plain file a recording kept (the settings file) is never larger than this.
constexpr size_t ReplayKeptFileByteLimit = size_t{1} << 20;

// One piece of input and the event pump of its frame that delivered it (0 for the first).
struct TReplayInput {
    int pump = 0;
    TInputRecord record;
};

// A plain file the game read, as the recording found it.
struct TReplayKeptFile {
    std::string path;
    TPlainFileRead read;
};

struct TReplayCheckpoint {
    int frame = 0;
    std::vector<TStateHash> hashes;
};

struct TReplayEnd {
    int frame = 0;       // the frames the recorded run finished
    bool byExit = false; // the program ended (exit or fatal error) rather than the recording being stopped
    std::vector<TStateHash> hashes;
};

// A replay file that has been read whole and checked.
struct TReplayRead;

class TReplayFile {
public:
    int32_t randomState = 0; // the generator when the recording started
    std::vector<TReplayKeptFile> keptFiles;
    std::vector<TReplayCheckpoint> checkpoints; // in frame order, one every ReplayCheckpointFrames
    TReplayEnd end;

    // Frames as the file has them: a line of clock steps, its input, and how many frames it stands for.
    struct TFrameRun {
        uint32_t repeat = 1;
        uint32_t firstStep = 0, stepCount = 0;
        uint32_t firstInput = 0, inputCount = 0;
    };
    std::vector<TFrameRun> frameRuns;
    std::vector<uint32_t> clockSteps; // each clock read's change since the read before
    int frameCount = 0;               // the frames the runs add up to

    // The checkpoint taken at the end of this frame, or null.
    const TReplayCheckpoint* checkpointAt(int frame) const;
    size_t inputCount() const { return inputLines.size(); }
    // The input line at index, decoded (it was checked when the file was read).
    TReplayInput input(size_t index) const;

private:
    friend TReplayRead readReplayText(std::string_view text);
    std::string text;
    std::vector<uint32_t> inputLines; // where each input line starts in text
};

// Walks the frames of a file in order, one frame at a time, however they are repeated.
class TReplayFrameCursor {
public:
    explicit TReplayFrameCursor(const TReplayFile& file);
    bool atEnd() const { return run_ >= file_->frameRuns.size(); }
    std::span<const uint32_t> clockSteps() const;
    std::span<const TReplayInput> inputs() const { return inputs_; }
    void next();

private:
    void decodeInputs();
    const TReplayFile* file_;
    size_t run_ = 0;
    uint32_t repeatDone_ = 0;
    std::vector<TReplayInput> inputs_; // this frame's
};

// What reading found: the file, or why it was refused ("line 12: a clock step out of range").
struct TReplayRead {
    std::optional<TReplayFile> file;
    std::string refusal;
};

TReplayRead readReplayText(std::string_view text);
// A line's words, split at blanks (the run file's lines are read the same way).
std::vector<std::string_view> splitWords(std::string_view line);
// The file at path, which must be a regular file within ReplayFileByteLimit.
TReplayRead readReplayFile(const std::string& path);

// --- Writing: each function gives whole lines, ending in a line feed ------------------------------------

std::string replayHeaderLines(int32_t randomState);
std::string replayKeptFileLine(std::string_view path, const TPlainFileRead& read);
// steps as the clock gave them: the first of a file is the clock itself, the rest changes since.
std::string replayFrameLine(std::span<const uint32_t> steps, int repeat);
std::string replayInputLine(int pump, const TInputRecord& record);
std::string replayCheckpointLine(int frame, const std::vector<TStateHash>& hashes);
std::string replayEndLine(int frame, bool byExit, const std::vector<TStateHash>& hashes);
