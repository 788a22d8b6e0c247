// Recording and replaying runs.
//
// Sections: the file format · writing · reading · recording · replaying · hooks.
//
// The file is plain text, one record a line, so that a bug report can be read and a test file diffed:
//
//   kelvanor-replay 1
//   random 1234567                      the generator's state when the recording started
//   file config.ini 5b477269645d...     a plain file the game read, hex bytes ("-" when it was missing)
//   f 16 0                              a frame: the game's clock reads, each as the change since the read
//                                       before (the very first as the clock itself)
//   f 16 0 *120                         ... the same frame 120 times over, with no input in any of them
//   3 kd 4 97 0                         input of the frame above, arriving at its 4th event pump (from 0)
//   h 60 state=8c1e... player=...       a checkpoint: the game's state hashes at the end of frame 60
//   end 1834 exit state=... ...         the end: the frame it came in, how (exit, stop) and the hashes
//
// Input kinds: kd/ku scancode keycode [repeat], tx hex-text, mm x y, mb button down x y, pa/pr slot,
// pb slot bits, px slot axis value (a hexadecimal float, exact), q, pl slot and the pad's eight layout
// numbers (leftX leftY rightX rightY rightShoulder start south east), fl (focus lost).
//
// Input is tied to the pump that delivered it rather than to the frame alone: the pump runs before every
// input query, so a key pressed between two queries of one frame is seen by the second only, and a
// replay has to reproduce that. The clock reads of frame pacing do not come through here at all (the
// display reads the live clock), so a replay is the same however often pacing looked at the time.
#include "platform/replay.h"

#include "platform/assets.h"
#include "platform/input_events.h"
#include "platform/platform_internal.h"
#include "platform/random.h"
#include "platform/replay_hooks.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace {

// --- The file format -----------------------------------------------------------------------------------

constexpr const char* FileHeader = "kelvanor-replay 1";

const char* kindTag(InputKind kind) {
    switch (kind) {
    case InputKind::KeyDown:
        return "kd";
    case InputKind::KeyUp:
        return "ku";
    case InputKind::Text:
        return "tx";
    case InputKind::Pointer:
        return "mm";
    case InputKind::MouseButton:
        return "mb";
    case InputKind::PadAdded:
        return "pa";
    case InputKind::PadRemoved:
        return "pr";
    case InputKind::PadButtons:
        return "pb";
    case InputKind::PadAxis:
        return "px";
    case InputKind::Quit:
        return "q";
    case InputKind::PadLayout:
        return "pl";
    case InputKind::FocusLost:
        return "fl";
    }
    return "?";
}

std::optional<InputKind> kindFromTag(std::string_view tag) {
    for (InputKind kind :
         {InputKind::KeyDown, InputKind::KeyUp, InputKind::Text, InputKind::Pointer, InputKind::MouseButton,
          InputKind::PadAdded, InputKind::PadRemoved, InputKind::PadButtons, InputKind::PadAxis,
          InputKind::Quit, InputKind::PadLayout, InputKind::FocusLost}) {
        if (tag == kindTag(kind)) return kind;
    }
    return std::nullopt;
}

std::string hexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

std::optional<std::string> bytesFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (size_t at = 0; at < hex.size(); at += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(hex.data() + at, hex.data() + at + 2, value, 16);
        if (error != std::errc() || end != hex.data() + at + 2) return std::nullopt;
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Some C++ libraries (the browser build's) have no floating-point to_chars and from_chars; there the C
// library's hexadecimal floats stand in, which are exact both ways too and read the same files.
std::string hexFloat(float value) {
    char text[32];
#if defined(__cpp_lib_to_chars)
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::hex);
    return std::string(text, result.ptr);
#else
    std::snprintf(text, sizeof text, "%a", static_cast<double>(value));
    std::string_view written = text;
    const bool negative = written.starts_with('-');
    if (negative) written.remove_prefix(1);
    if (written.starts_with("0x")) written.remove_prefix(2);
    return (negative ? "-" : "") + std::string(written);
#endif
}

std::string hashesText(const std::vector<TStateHash>& hashes) {
    std::string text;
    char hex[17];
    for (const TStateHash& part : hashes) {
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(part.hash));
        text += " " + part.part + "=" + hex;
    }
    return text;
}

std::string inputText(int pump, const TInputRecord& record) {
    std::string line = std::to_string(pump) + " " + kindTag(record.kind);
    auto add = [&line](auto value) {
        line += ' ';
        line += std::to_string(value);
    };
    switch (record.kind) {
    case InputKind::KeyDown:
        add(record.code), add(record.key), add(record.flag);
        break;
    case InputKind::KeyUp:
        add(record.code), add(record.key);
        break;
    case InputKind::Text:
        line += ' ';
        line += hexBytes(record.text);
        break;
    case InputKind::Pointer:
        add(record.x), add(record.y);
        break;
    case InputKind::MouseButton:
        add(record.code), add(record.flag), add(record.x), add(record.y);
        break;
    case InputKind::PadAdded:
    case InputKind::PadRemoved:
        add(record.code);
        break;
    case InputKind::PadButtons:
        add(record.code), add(record.bits);
        break;
    case InputKind::PadAxis:
        add(record.code), add(record.key);
        line += ' ';
        line += hexFloat(record.value);
        break;
    case InputKind::Quit:
    case InputKind::FocusLost:
        break;
    case InputKind::PadLayout:
        add(record.code);
        for (int number : record.layout)
            add(number);
        break;
    }
    return line;
}

// --- Reading -------------------------------------------------------------------------------------------

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        const size_t start = at;
        while (at < line.size() && line[at] != ' ')
            ++at;
        if (at > start) words.push_back(line.substr(start, at - start));
    }
    return words;
}

template <class Number> std::optional<Number> numberFrom(std::string_view word) {
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

std::optional<float> hexFloatFrom(std::string_view word) {
    float value = 0;
    const bool negative = !word.empty() && word[0] == '-';
    if (negative) word.remove_prefix(1);
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) word.remove_prefix(2);
#if defined(__cpp_lib_to_chars)
    const auto [end, error] =
        std::from_chars(word.data(), word.data() + word.size(), value, std::chars_format::hex);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
#else
    // Only what from_chars would take: hexadecimal digits, a point and a binary exponent, no sign.
    const bool plain = !word.empty() &&
                       word.find_first_not_of("0123456789abcdefABCDEF.p+-") == std::string_view::npos &&
                       word[0] != '+' && word[0] != '-';
    if (!plain) return std::nullopt;
    const std::string text = "0x" + std::string(word);
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
#endif
    return negative ? -value : value;
}

std::optional<TInputRecord> inputFrom(const std::vector<std::string_view>& words) {
    const auto kind = kindFromTag(words[1]);
    if (!kind) return std::nullopt;
    TInputRecord record;
    record.kind = *kind;
    std::vector<int> numbers;
    const bool textual = *kind == InputKind::Text || *kind == InputKind::PadAxis;
    for (size_t i = 2; i < words.size(); ++i) {
        if (textual && i == words.size() - 1) break;
        // Button masks are unsigned; everything else fits an int.
        const auto value = numberFrom<int64_t>(words[i]);
        if (!value) return std::nullopt;
        numbers.push_back(static_cast<int>(static_cast<uint32_t>(*value)));
    }
    auto number = [&numbers](size_t i) { return i < numbers.size() ? numbers[i] : 0; };
    switch (*kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        record.code = number(0), record.key = number(1), record.flag = number(2);
        break;
    case InputKind::Text: {
        const auto text = words.size() > 2 ? bytesFromHex(words.back()) : std::optional<std::string>("");
        if (!text) return std::nullopt;
        record.text = *text;
        break;
    }
    case InputKind::Pointer:
        record.x = number(0), record.y = number(1);
        break;
    case InputKind::MouseButton:
        record.code = number(0), record.flag = number(1), record.x = number(2), record.y = number(3);
        break;
    case InputKind::PadAdded:
    case InputKind::PadRemoved:
        record.code = number(0);
        break;
    case InputKind::PadButtons:
        record.code = number(0), record.bits = static_cast<uint32_t>(number(1));
        break;
    case InputKind::PadAxis: {
        const auto value = words.size() > 4 ? hexFloatFrom(words.back()) : std::nullopt;
        if (!value) return std::nullopt;
        record.code = number(0), record.key = number(1), record.value = *value;
        break;
    }
    case InputKind::Quit:
    case InputKind::FocusLost:
        break;
    case InputKind::PadLayout:
        record.code = number(0);
        for (size_t i = 0; i < record.layout.size(); ++i)
            record.layout[i] = number(i + 1);
        break;
    }
    return record;
}

std::optional<std::vector<TStateHash>> hashesFrom(const std::vector<std::string_view>& words, size_t first) {
    std::vector<TStateHash> hashes;
    for (size_t i = first; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view hex = words[i].substr(equals + 1);
        uint64_t hash = 0;
        const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), hash, 16);
        if (error != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
        hashes.push_back({std::string(words[i].substr(0, equals)), hash});
    }
    return hashes;
}

struct TRecordedInput {
    int pump = 0;
    TInputRecord record;
};

struct TRecordedFrame {
    std::vector<uint32_t> clockSteps; // each read's change since the read before
    std::vector<TRecordedInput> inputs;
};

struct TRecordedFile {
    std::string path;
    std::optional<std::string> contents; // none: the file was not there
};

struct TRecordedEnd {
    int frame = 0;
    bool byExit = false; // the program ended (exit or fatal error) rather than the recording being stopped
    std::vector<TStateHash> hashes;
};

struct TRecording {
    std::vector<TRecordedFrame> frames;
    std::map<int, std::vector<TStateHash>> checkpoints;
    std::deque<TRecordedFile> files;
    std::optional<TRecordedEnd> end;
    std::optional<int32_t> randomState; // the generator at the start
};

bool readLine(TRecording& recording, std::string_view line) {
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty() || words[0][0] == '#') return true;
    const std::string_view tag = words[0];
    if (tag == "f") {
        TRecordedFrame frame;
        int repeat = 1;
        for (size_t i = 1; i < words.size(); ++i) {
            if (words[i][0] == '*') {
                const auto count = numberFrom<int>(words[i].substr(1));
                if (!count || *count < 1) return false;
                repeat = *count;
                continue;
            }
            const auto step = numberFrom<int64_t>(words[i]);
            if (!step) return false;
            frame.clockSteps.push_back(static_cast<uint32_t>(*step));
        }
        recording.frames.insert(recording.frames.end(), static_cast<size_t>(repeat), frame);
    } else if (tag[0] >= '0' && tag[0] <= '9') {
        const auto pump = numberFrom<int>(tag);
        if (!pump || words.size() < 2 || recording.frames.empty()) return false;
        const auto record = inputFrom(words);
        if (!record) return false;
        recording.frames.back().inputs.push_back({*pump, *record});
    } else if (tag == "h" && words.size() >= 2) {
        const auto frame = numberFrom<int>(words[1]);
        const auto hashes = hashesFrom(words, 2);
        if (!frame || !hashes) return false;
        recording.checkpoints[*frame] = *hashes;
    } else if (tag == "end" && words.size() >= 3) {
        const auto frame = numberFrom<int>(words[1]);
        const auto hashes = hashesFrom(words, 3);
        if (!frame || !hashes) return false;
        recording.end = TRecordedEnd{*frame, words[2] == "exit", *hashes};
    } else if (tag == "random" && words.size() == 2) {
        recording.randomState = numberFrom<int32_t>(words[1]);
        if (!recording.randomState) return false;
    } else if (tag == "file" && words.size() == 3) {
        TRecordedFile file{std::string(words[1]), std::nullopt};
        if (words[2] != "-") {
            file.contents = bytesFromHex(words[2]);
            if (!file.contents) return false;
        }
        recording.files.push_back(std::move(file));
    } else {
        return false;
    }
    return true;
}

std::optional<TRecording> readRecording(const std::string& path, std::string& problem) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot open " + path;
        return std::nullopt;
    }
    std::string line;
    if (!std::getline(in, line) || line != FileHeader) {
        problem = path + " is not a Kelvanor replay";
        return std::nullopt;
    }
    TRecording recording;
    for (int number = 2; std::getline(in, line); ++number) {
        if (!readLine(recording, line)) {
            problem = path + ":" + std::to_string(number) + ": cannot read \"" + line + "\"";
            return std::nullopt;
        }
    }
    return recording;
}

// A file the game reads back from the recording, owning its bytes.
class TRecordedFileStream final : public TStream {
public:
    explicit TRecordedFileStream(std::string bytes) : bytes_(std::move(bytes)) {}
    size_t read(void* buffer, size_t bytes) override {
        const size_t count = std::min(bytes, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return count;
    }
    size_t write(const void*, size_t) override { return 0; }
    bool seek(int64_t offset, int whence) override {
        const int64_t base = whence == SEEK_CUR   ? static_cast<int64_t>(position_)
                             : whence == SEEK_END ? static_cast<int64_t>(bytes_.size())
                                                  : 0;
        if (base + offset < 0 || base + offset > static_cast<int64_t>(bytes_.size())) return false;
        position_ = static_cast<size_t>(base + offset);
        return true;
    }
    int64_t tell() const override { return static_cast<int64_t>(position_); }
    int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
    bool flush() override { return true; }

private:
    std::string bytes_;
    size_t position_ = 0;
};

// --- Recording -----------------------------------------------------------------------------------------

struct TRecorder {
    std::FILE* file = nullptr;
    StateHashSource hashes;
    int frame = 0;
    int pump = -1; // the pump of this frame that is running; -1 before the first
    uint32_t lastClock = 0;
    std::string clockSteps; // this frame's, as written
    std::string inputs;     // this frame's input lines
    // A frame without input waits here, so that the frames after it that are just like it can be
    // written as one line.
    std::string heldFrame;
    int heldRepeat = 0;
};

std::optional<TRecorder> recorder;

void writeHeldFrame(TRecorder& r) {
    if (r.heldRepeat == 0) return;
    std::fprintf(r.file, "f%s", r.heldFrame.c_str());
    if (r.heldRepeat > 1) std::fprintf(r.file, " *%d", r.heldRepeat);
    std::fputc('\n', r.file);
    r.heldRepeat = 0;
}

void writeFrame(TRecorder& r) {
    if (r.inputs.empty() && r.heldRepeat > 0 && r.heldFrame == r.clockSteps) {
        ++r.heldRepeat;
    } else {
        writeHeldFrame(r);
        if (r.inputs.empty()) {
            r.heldFrame = r.clockSteps;
            r.heldRepeat = 1;
        } else {
            std::fprintf(r.file, "f%s\n%s", r.clockSteps.c_str(), r.inputs.c_str());
        }
    }
    r.clockSteps.clear();
    r.inputs.clear();
}

std::vector<TStateHash> currentHashes(const StateHashSource& hashes) {
    return hashes ? hashes() : std::vector<TStateHash>{};
}

void endRecording(bool byExit) {
    if (!recorder) return;
    TRecorder& r = *recorder;
    // A frame the program ended in the middle of still has its clock reads and input: the replay needs
    // them to get to the same end.
    if (!r.clockSteps.empty() || !r.inputs.empty()) {
        writeHeldFrame(r);
        std::fprintf(r.file, "f%s\n%s", r.clockSteps.c_str(), r.inputs.c_str());
    } else {
        writeHeldFrame(r);
    }
    std::fprintf(r.file, "end %d %s%s\n", r.frame, byExit ? "exit" : "stop",
                 hashesText(currentHashes(r.hashes)).c_str());
    std::fclose(r.file);
    recorder.reset();
}

// --- Replaying -----------------------------------------------------------------------------------------

struct TReplayer {
    TRecording recording;
    StateHashSource hashes;
    bool exitWhenDone = false;
    int frame = 0;
    int pump = -1;
    size_t clockCursor = 0;
    size_t inputCursor = 0;
    uint32_t clock = 0;
    TReplayVerdict verdict;
};

std::optional<TReplayer> replayer;
TReplayVerdict lastVerdict;

const TRecordedFrame* currentFrame(const TReplayer& r) {
    if (r.frame < 0 || static_cast<size_t>(r.frame) >= r.recording.frames.size()) return nullptr;
    return &r.recording.frames[static_cast<size_t>(r.frame)];
}

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
    const auto checkpoint = r.recording.checkpoints.find(r.frame);
    if (checkpoint != r.recording.checkpoints.end() && !checkHashes(r, checkpoint->second, r.frame)) return;
    ++r.frame;
    r.pump = -1;
    r.clockCursor = 0;
    r.inputCursor = 0;
    const auto& end = r.recording.end;
    if (end && !end->byExit && r.frame == end->frame) {
        if (checkHashes(r, end->hashes, r.frame)) matchedToTheEnd(r, "");
    } else if (end && r.frame > end->frame) {
        diverge(r, r.frame, {},
                "the recorded run ended in frame " + std::to_string(end->frame) + ", the replay went on");
    } else if (!end && static_cast<size_t>(r.frame) >= r.recording.frames.size()) {
        matchedToTheEnd(r, " (the recording stops there without an end)");
    }
}

} // namespace

// --- Public operations ---------------------------------------------------------------------------------

bool startRecording(const std::string& path, StateHashSource hashes) {
    stopRecording();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "%s\n", FileHeader);
    // Some things draw from the generator before a run seeds it from the clock (the backdrop's stars).
    std::fprintf(file, "random %d\n", static_cast<int>(randomState()));
    recorder.emplace();
    recorder->file = file;
    recorder->hashes = std::move(hashes);
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
    std::string problem;
    auto recording = readRecording(path, problem);
    if (!recording) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return false;
    }
    replayer.emplace();
    replayer->recording = std::move(*recording);
    replayer->hashes = std::move(hashes);
    replayer->exitWhenDone = exitWhenDone;
    lastVerdict = {};
    beginInputReplay();
    if (replayer->recording.randomState) seedRandom(*replayer->recording.randomState);
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
        recorder->clockSteps += ' ';
        recorder->clockSteps += std::to_string(static_cast<int32_t>(now - recorder->lastClock));
        recorder->lastClock = now;
        return liveMillis;
    }
    if (!isReplaying()) return liveMillis;
    TReplayer& r = *replayer;
    // A replay that reads the clock more often than the recording did has left the recorded path; the
    // clock then stands still until the checkpoints say so.
    const TRecordedFrame* frame = currentFrame(r);
    if (frame && r.clockCursor < frame->clockSteps.size()) r.clock += frame->clockSteps[r.clockCursor++];
    return static_cast<int>(r.clock);
}

bool replayPump(const std::function<void(const TInputRecord&)>& apply) {
    if (recorder) ++recorder->pump;
    if (!isReplaying()) return false;
    TReplayer& r = *replayer;
    ++r.pump;
    const TRecordedFrame* frame = currentFrame(r);
    while (frame && r.inputCursor < frame->inputs.size() && frame->inputs[r.inputCursor].pump <= r.pump)
        apply(frame->inputs[r.inputCursor++].record);
    return true;
}

void recordInput(const TInputRecord& record) {
    if (!recorder) return;
    recorder->inputs += inputText(std::max(recorder->pump, 0), record);
    recorder->inputs += '\n';
}

bool replayOpensPlainFile(std::string_view path, bool forWrite, std::unique_ptr<TStream>& stream) {
    if (recorder && !forWrite) {
        std::ifstream in{std::string(path), std::ios::binary};
        const std::string contents =
            in ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : "";
        std::fprintf(recorder->file, "file %.*s %s\n", static_cast<int>(path.size()), path.data(),
                     in ? hexBytes(contents).c_str() : "-");
        return false;
    }
    if (!isReplaying()) return false;
    stream.reset();
    if (forWrite) return true; // a replay leaves the files on disk as they are
    auto& files = replayer->recording.files;
    if (!files.empty() && files.front().path == path) {
        if (files.front().contents) stream = std::make_unique<TRecordedFileStream>(*files.front().contents);
        files.pop_front();
    }
    return true;
}

void replayFrameEnded() {
    if (recorder) {
        TRecorder& r = *recorder;
        writeFrame(r);
        if (r.frame % ReplayCheckpointFrames == 0) {
            const std::vector<TStateHash> hashes = currentHashes(r.hashes);
            if (!hashes.empty()) {
                writeHeldFrame(r);
                std::fprintf(r.file, "h %d%s\n", r.frame, hashesText(hashes).c_str());
            }
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
    const auto& end = r.recording.end;
    if (end && end->byExit && end->frame == r.frame) {
        if (checkHashes(r, end->hashes, r.frame)) matchedToTheEnd(r, ", to the program's end");
    } else {
        diverge(r, r.frame, {},
                "the program ended in frame " + std::to_string(r.frame) +
                    (end ? ", the recorded run in frame " + std::to_string(end->frame) : std::string()));
    }
}
