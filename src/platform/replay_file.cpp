// The replay file format, written and read side by side.
//
// Sections: the lines · numbers and words · writing · reading one line · reading a file · frames.
//
// The file is plain text, one record a line, so that a bug report can be read and a test file diffed:
//
//   kelvanor-replay 1
//   random 1234567                      the generator's state when the recording started
//   file config.ini 5b477269645d...     a plain file the game read, hex bytes; "-" when it was missing,
//                                       "!" when it was there but could not be read, nothing when empty
//   f 16 0                              a frame: the game's clock reads, each as the change since the read
//                                       before (the very first as the clock itself)
//   f 16 0 *60                          ... the same frame 60 times over, with no input in any of them
//   3 kd 4 97 0                         input of the frame above, arriving at its 4th event pump (from 0)
//   h 60 state=8c1e... player=...       a checkpoint: the game's state hashes at the end of frame 60
//   end 1834 exit state=... ...         the end: the frames finished, how (exit, stop) and the hashes
//
// Input kinds: kd/ku scancode keycode [repeat], tx hex-text, mm x y, mb button down x y, pa/pr slot,
// pb slot bits, px slot axis value (a hexadecimal float, exact), q, pl slot and the pad's eight layout
// numbers (leftX leftY rightX rightY rightShoulder start south east), fl (focus lost).
//
// The recorder takes a checkpoint at the end of every 60th frame (0, 60, 120, ...) and writes the frame
// lines before it first, so a repeat never spans a checkpoint; the reader holds a file to that.
#include "platform/replay_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// --- The lines -------------------------------------------------------------------------------------------

// What the game can produce, and so all a reader accepts.
constexpr int ScancodeCount = 512;
constexpr int MouseButtonLimit = 7;
constexpr int PadSlotCount = 16;
constexpr int PadAxisCount = 16;
constexpr int PadLayoutLimit = 31; // a layout number is an axis or a button index, -1 for none
constexpr int PictureWidth = 800, PictureHeight = 600;
constexpr size_t TextInputByteLimit = 64;
constexpr size_t ClockReadsPerFrameLimit = 64;
constexpr int PumpsPerFrameLimit = 1 << 20;
constexpr size_t HashPartLimit = 64;
constexpr size_t HashNameLimit = 32;
constexpr size_t PathLimit = 255;
// A frame's clock step: nothing runs backwards, and a step of 2^31 ms would be 24.9 days in one frame.
constexpr int64_t ClockStepLimit = INT32_MAX;

struct TKindTag {
    InputKind kind;
    std::string_view tag;
    size_t numbers; // the numbers after the tag (the text and the axis value not counted)
};

constexpr TKindTag kindTags[] = {
    {InputKind::KeyDown, "kd", 3},    {InputKind::KeyUp, "ku", 2},       {InputKind::Text, "tx", 0},
    {InputKind::Pointer, "mm", 2},    {InputKind::MouseButton, "mb", 4}, {InputKind::PadAdded, "pa", 1},
    {InputKind::PadRemoved, "pr", 1}, {InputKind::PadButtons, "pb", 2},  {InputKind::PadAxis, "px", 2},
    {InputKind::Quit, "q", 0},        {InputKind::PadLayout, "pl", 9},   {InputKind::FocusLost, "fl", 0},
};

const TKindTag* kindTagOf(InputKind kind) {
    for (const TKindTag& entry : kindTags)
        if (entry.kind == kind) return &entry;
    return nullptr;
}

const TKindTag* kindTagNamed(std::string_view tag) {
    for (const TKindTag& entry : kindTags)
        if (entry.tag == tag) return &entry;
    return nullptr;
}

// --- Numbers and words ---------------------------------------------------------------------------------

std::string hexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

std::optional<std::string> bytesFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
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

std::optional<float> hexFloatFrom(std::string_view word) {
    float value = 0;
    const bool negative = !word.empty() && word[0] == '-';
    if (negative) word.remove_prefix(1);
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) word.remove_prefix(2);
    // Only what from_chars would take: hexadecimal digits, a point and a binary exponent, no sign (and
    // so neither "inf" nor "nan").
    const bool plain = !word.empty() &&
                       word.find_first_not_of("0123456789abcdefABCDEF.p+-") == std::string_view::npos &&
                       word[0] != '+' && word[0] != '-';
    if (!plain) return std::nullopt;
#if defined(__cpp_lib_to_chars)
    const auto [end, error] =
        std::from_chars(word.data(), word.data() + word.size(), value, std::chars_format::hex);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
#else
    const std::string text = "0x" + std::string(word);
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
#endif
    return negative ? -value : value;
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

// A whole word as a decimal number within [lowest, highest].
std::optional<int64_t> numberIn(std::string_view word, int64_t lowest, int64_t highest) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// A refusal: the reason a line cannot be trusted. Thrown inside the reader only, caught at its top.
struct TRefusal {
    std::string reason;
};

[[noreturn]] void refuse(std::string reason) {
    throw TRefusal{std::move(reason)};
}

int64_t numberOrRefuse(std::string_view word, int64_t lowest, int64_t highest, const char* what) {
    const auto value = numberIn(word, lowest, highest);
    if (!value)
        refuse(std::string(what) + " \"" + std::string(word.substr(0, 24)) + "\" is not a number from " +
               std::to_string(lowest) + " to " + std::to_string(highest));
    return *value;
}

} // namespace

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

// --- Writing -------------------------------------------------------------------------------------------

std::string replayHeaderLines(int32_t randomState) {
    return std::string(ReplayFileHeader) + "\nrandom " + std::to_string(randomState) + "\n";
}

std::string replayKeptFileLine(std::string_view path, const TPlainFileRead& read) {
    std::string line = "file " + std::string(path);
    if (read.state == PlainFileState::Missing) line += " -";
    if (read.state == PlainFileState::Unreadable) line += " !";
    if (read.state == PlainFileState::Read && !read.bytes.empty()) line += " " + hexBytes(read.bytes);
    return line + "\n";
}

// Steps are written as signed numbers, so the first (the clock itself) may be negative.
std::string replayFrameLine(std::span<const uint32_t> steps, int repeat) {
    std::string line = "f";
    for (uint32_t step : steps) {
        line += ' ';
        line += std::to_string(static_cast<int32_t>(step));
    }
    if (repeat > 1) {
        line += " *";
        line += std::to_string(repeat);
    }
    line += '\n';
    return line;
}

std::string replayInputLine(int pump, const TInputRecord& record) {
    const TKindTag* tag = kindTagOf(record.kind);
    std::string line = std::to_string(pump) + " " + std::string(tag ? tag->tag : "?");
    auto add = [&line](auto value) { line += " " + std::to_string(value); };
    switch (record.kind) {
    case InputKind::KeyDown:
        add(record.code), add(record.key), add(record.flag);
        break;
    case InputKind::KeyUp:
        add(record.code), add(record.key);
        break;
    case InputKind::Text:
        line += " " + hexBytes(record.text);
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
        line += " " + hexFloat(record.value);
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
    return line + "\n";
}

std::string replayCheckpointLine(int frame, const std::vector<TStateHash>& hashes) {
    return "h " + std::to_string(frame) + hashesText(hashes) + "\n";
}

std::string replayEndLine(int frame, bool byExit, const std::vector<TStateHash>& hashes) {
    return "end " + std::to_string(frame) + (byExit ? " exit" : " stop") + hashesText(hashes) + "\n";
}

// --- Reading one line ----------------------------------------------------------------------------------

namespace {

void checkPointer(int x, int y) {
    if (x < 0 || x >= PictureWidth || y < 0 || y >= PictureHeight)
        refuse("a pointer position (" + std::to_string(x) + ", " + std::to_string(y) + ") off the picture");
}

TInputRecord inputFrom(const std::vector<std::string_view>& words) {
    const TKindTag* tag = kindTagNamed(words[1]);
    if (!tag) refuse("an unknown input kind \"" + std::string(words[1].substr(0, 8)) + "\"");
    TInputRecord record;
    record.kind = tag->kind;
    // The text may be empty (and then its word is missing); every other count is exact.
    const size_t extra = tag->kind == InputKind::PadAxis || tag->kind == InputKind::Text ? 1 : 0;
    const size_t given = words.size() - 2;
    if (given != tag->numbers + extra && !(tag->kind == InputKind::Text && given == 0))
        refuse("an input line of kind " + std::string(tag->tag) + " with " + std::to_string(given) +
               " values");
    auto number = [&words](size_t i, int64_t lowest, int64_t highest, const char* what) {
        return static_cast<int>(numberOrRefuse(words[2 + i], lowest, highest, what));
    };
    switch (tag->kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        record.code = number(0, 0, ScancodeCount - 1, "a scancode");
        record.key = number(1, INT32_MIN, INT32_MAX, "a keycode");
        if (tag->kind == InputKind::KeyDown) record.flag = number(2, 0, 1, "a repeat flag");
        break;
    case InputKind::Text: {
        const auto text = given == 0 ? std::optional<std::string>("") : bytesFromHex(words[2]);
        if (!text || text->size() > TextInputByteLimit || text->find('\0') != std::string::npos)
            refuse("typed text that is not up to " + std::to_string(TextInputByteLimit) + " hex bytes");
        record.text = *text;
        break;
    }
    case InputKind::Pointer:
        record.x = number(0, INT32_MIN, INT32_MAX, "a pointer x");
        record.y = number(1, INT32_MIN, INT32_MAX, "a pointer y");
        checkPointer(record.x, record.y);
        break;
    case InputKind::MouseButton:
        record.code = number(0, 0, MouseButtonLimit, "a mouse button");
        record.flag = number(1, 0, 1, "a button state");
        record.x = number(2, INT32_MIN, INT32_MAX, "a pointer x");
        record.y = number(3, INT32_MIN, INT32_MAX, "a pointer y");
        checkPointer(record.x, record.y);
        break;
    case InputKind::PadAdded:
    case InputKind::PadRemoved:
        record.code = number(0, 0, PadSlotCount - 1, "a pad slot");
        break;
    case InputKind::PadButtons:
        record.code = number(0, 0, PadSlotCount - 1, "a pad slot");
        record.bits = static_cast<uint32_t>(numberOrRefuse(words[3], 0, UINT32_MAX, "a button mask"));
        break;
    case InputKind::PadAxis: {
        record.code = number(0, 0, PadSlotCount - 1, "a pad slot");
        record.key = number(1, 0, PadAxisCount - 1, "an axis");
        const auto value = hexFloatFrom(words[4]);
        if (!value || !std::isfinite(*value) || *value < -1.0f || *value > 1.0f)
            refuse("an axis value \"" + std::string(words[4].substr(0, 24)) + "\" outside -1 to 1");
        record.value = *value;
        break;
    }
    case InputKind::Quit:
    case InputKind::FocusLost:
        break;
    case InputKind::PadLayout:
        record.code = number(0, 0, PadSlotCount - 1, "a pad slot");
        for (size_t i = 0; i < record.layout.size(); ++i)
            record.layout[i] = number(i + 1, -1, PadLayoutLimit, "a pad layout number");
        break;
    }
    return record;
}

std::vector<TStateHash> hashesFrom(const std::vector<std::string_view>& words, size_t first) {
    if (words.size() - first > HashPartLimit)
        refuse("more than " + std::to_string(HashPartLimit) + " hashes");
    std::vector<TStateHash> hashes;
    for (size_t i = first; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        const std::string_view name = words[i].substr(0, equals);
        const std::string_view hex = equals == std::string_view::npos ? "" : words[i].substr(equals + 1);
        const bool nameFits =
            !name.empty() && name.size() <= HashNameLimit &&
            name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") == std::string_view::npos;
        uint64_t hash = 0;
        const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), hash, 16);
        if (!nameFits || hex.size() != 16 || error != std::errc() || end != hex.data() + hex.size())
            refuse("a state hash \"" + std::string(words[i].substr(0, 40)) +
                   "\" that is not name=16 hex digits");
        for (const TStateHash& earlier : hashes)
            if (earlier.part == name) refuse("the state hash " + std::string(name) + " twice");
        hashes.push_back({std::string(name), hash});
    }
    return hashes;
}

// Reading state between lines: what the lines so far add up to.
struct TReading {
    TReplayFile file;
    std::vector<uint32_t> inputLines;
    bool randomSeen = false;
    bool clockSeen = false;    // the first clock read of the file is the clock itself, any value
    bool inputAllowed = false; // after a frame line that is not repeated
    int lastPump = 0;
    int nextCheckpoint = 0;
    bool ended = false;
};

void readFrameLine(TReading& r, const std::vector<std::string_view>& words) {
    TReplayFile& file = r.file;
    TReplayFile::TFrameRun run;
    run.firstStep = static_cast<uint32_t>(file.clockSteps.size());
    run.firstInput = static_cast<uint32_t>(r.inputLines.size());
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i][0] == '*') {
            if (i != words.size() - 1) refuse("a repeat that is not last on its frame line");
            run.repeat = static_cast<uint32_t>(numberOrRefuse(words[i].substr(1), 2, INT32_MAX, "a repeat"));
            continue;
        }
        if (run.stepCount == ClockReadsPerFrameLimit)
            refuse("more than " + std::to_string(ClockReadsPerFrameLimit) + " clock reads in a frame");
        const int64_t step = r.clockSeen ? numberOrRefuse(words[i], 0, ClockStepLimit, "a clock step")
                                         : numberOrRefuse(words[i], INT32_MIN, UINT32_MAX, "the clock");
        file.clockSteps.push_back(static_cast<uint32_t>(step));
        ++run.stepCount;
        r.clockSeen = true;
    }
    // Checkpoints are written before the frames that follow them, so a frame line never runs past the
    // next one; the frame it finishes in may be the last, cut off by the end.
    if (static_cast<int64_t>(file.frameCount) + run.repeat > static_cast<int64_t>(r.nextCheckpoint) + 1)
        refuse("frames past " + std::to_string(r.nextCheckpoint) + " without its checkpoint");
    file.frameCount += static_cast<int>(run.repeat);
    file.frameRuns.push_back(run);
    r.inputAllowed = run.repeat == 1;
    r.lastPump = 0;
}

TReplayInput inputLineFrom(const std::vector<std::string_view>& words, int lowestPump) {
    if (words.size() < 2) refuse("an input line without its kind");
    const int pump = static_cast<int>(numberOrRefuse(words[0], lowestPump, PumpsPerFrameLimit, "a pump"));
    return {pump, inputFrom(words)};
}

void readInputLine(TReading& r, const std::vector<std::string_view>& words, uint32_t lineStart) {
    if (!r.inputAllowed) refuse("input that belongs to no single frame");
    r.lastPump = inputLineFrom(words, r.lastPump).pump;
    r.inputLines.push_back(lineStart);
    ++r.file.frameRuns.back().inputCount;
}

void readCheckpointLine(TReading& r, const std::vector<std::string_view>& words) {
    if (words.size() < 2) refuse("a checkpoint without its frame");
    const int frame = static_cast<int>(numberOrRefuse(words[1], 0, INT32_MAX, "a checkpoint frame"));
    if (frame != r.nextCheckpoint || r.file.frameCount != frame + 1)
        refuse("a checkpoint for frame " + std::to_string(frame) + " after " +
               std::to_string(r.file.frameCount) + " frames");
    r.file.checkpoints.push_back({frame, hashesFrom(words, 2)});
    r.nextCheckpoint = frame + ReplayCheckpointFrames;
    r.inputAllowed = false;
}

void readEndLine(TReading& r, const std::vector<std::string_view>& words) {
    if (words.size() < 3 || (words[2] != "exit" && words[2] != "stop"))
        refuse("an end line without exit or stop");
    const int frame = static_cast<int>(numberOrRefuse(words[1], 0, INT32_MAX - 1, "the end frame"));
    // The frame the program ended in the middle of is written out too.
    if (r.file.frameCount != frame && r.file.frameCount != frame + 1)
        refuse("an end at frame " + std::to_string(frame) + " after " + std::to_string(r.file.frameCount) +
               " frames");
    if (frame > r.nextCheckpoint)
        refuse("frames past " + std::to_string(r.nextCheckpoint) + " without its checkpoint");
    r.file.end = {frame, words[2] == "exit", hashesFrom(words, 3)};
    r.ended = true;
}

void readKeptFileLine(TReading& r, const std::vector<std::string_view>& words) {
    if (words.size() < 2 || words.size() > 3) refuse("a file line without its path");
    if (words[1].size() > PathLimit) refuse("a kept file's path longer than " + std::to_string(PathLimit));
    TReplayKeptFile kept{std::string(words[1]), {PlainFileState::Read, {}}};
    if (words.size() == 3 && words[2] == "-") {
        kept.read.state = PlainFileState::Missing;
    } else if (words.size() == 3 && words[2] == "!") {
        kept.read.state = PlainFileState::Unreadable;
    } else if (words.size() == 3) {
        if (words[2].size() > 2 * ReplayKeptFileByteLimit)
            refuse("a kept file larger than " + std::to_string(ReplayKeptFileByteLimit) + " bytes");
        auto bytes = bytesFromHex(words[2]);
        if (!bytes) refuse("a kept file whose bytes are not hexadecimal");
        kept.read.bytes = std::move(*bytes);
    }
    r.file.keptFiles.push_back(std::move(kept));
}

void readLine(TReading& r, std::string_view line, uint32_t lineStart) {
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty() || words[0][0] == '#') return;
    if (r.ended) refuse("a line after the end");
    const std::string_view tag = words[0];
    if (tag == "random") {
        if (words.size() != 2 || r.randomSeen) refuse("a second or broken random line");
        r.file.randomState =
            static_cast<int32_t>(numberOrRefuse(words[1], INT32_MIN, INT32_MAX, "the random state"));
        r.randomSeen = true;
        return;
    }
    if (!r.randomSeen) refuse("no random line before the run");
    if (tag == "f") {
        readFrameLine(r, words);
    } else if (tag[0] >= '0' && tag[0] <= '9') {
        readInputLine(r, words, lineStart);
    } else if (tag == "h") {
        readCheckpointLine(r, words);
    } else if (tag == "end") {
        readEndLine(r, words);
    } else if (tag == "file") {
        readKeptFileLine(r, words);
    } else {
        refuse("an unknown line \"" + std::string(tag.substr(0, 16)) + "\"");
    }
}

} // namespace

// --- Reading a file ------------------------------------------------------------------------------------

TReplayRead readReplayText(std::string_view text) {
    TReplayRead result;
    if (text.size() > ReplayFileByteLimit) {
        result.refusal = "larger than " + std::to_string(ReplayFileByteLimit >> 20) + " MiB";
        return result;
    }
    const size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos || text.substr(0, headerEnd) != ReplayFileHeader) {
        result.refusal =
            "not a Kelvanor replay (its first line is not \"" + std::string(ReplayFileHeader) + "\")";
        return result;
    }
    TReading reading;
    int number = 2;
    try {
        for (size_t at = headerEnd + 1; at < text.size(); ++number) {
            const size_t end = text.find('\n', at);
            if (end == std::string_view::npos) refuse("the file is cut off in the middle of a line");
            readLine(reading, text.substr(at, end - at), static_cast<uint32_t>(at));
            at = end + 1;
        }
    } catch (const TRefusal& refusal) {
        result.refusal = "line " + std::to_string(number) + ": " + refusal.reason;
        return result;
    }
    if (!reading.ended) {
        result.refusal = "the file stops after line " + std::to_string(number - 1) + " without its end line";
        return result;
    }
    result.file = std::move(reading.file);
    result.file->text = std::string(text);
    result.file->inputLines = std::move(reading.inputLines);
    return result;
}

TReplayRead readReplayFile(const std::string& path) {
    const TPlainFileRead read = readPlainFile(path, ReplayFileByteLimit);
    if (read.state == PlainFileState::Read) return readReplayText(read.bytes);
    TReplayRead result;
    result.refusal = read.state == PlainFileState::Missing
                         ? "no such file"
                         : "not a regular file of at most " + std::to_string(ReplayFileByteLimit >> 20) +
                               " MiB that can be read";
    return result;
}

// --- Frames --------------------------------------------------------------------------------------------

const TReplayCheckpoint* TReplayFile::checkpointAt(int frame) const {
    if (frame < 0 || frame % ReplayCheckpointFrames != 0) return nullptr;
    const size_t index = static_cast<size_t>(frame / ReplayCheckpointFrames);
    return index < checkpoints.size() ? &checkpoints[index] : nullptr;
}

std::span<const uint32_t> TReplayFrameCursor::clockSteps() const {
    if (atEnd()) return {};
    const TReplayFile::TFrameRun& run = file_->frameRuns[run_];
    return {file_->clockSteps.data() + run.firstStep, run.stepCount};
}

TReplayInput TReplayFile::input(size_t index) const {
    const size_t start = inputLines.at(index);
    const size_t end = text.find('\n', start);
    return inputLineFrom(splitWords(std::string_view(text).substr(start, end - start)), 0);
}

TReplayFrameCursor::TReplayFrameCursor(const TReplayFile& file) : file_(&file) {
    decodeInputs();
}

void TReplayFrameCursor::decodeInputs() {
    inputs_.clear();
    if (atEnd()) return;
    const TReplayFile::TFrameRun& run = file_->frameRuns[run_];
    for (uint32_t i = 0; i < run.inputCount; ++i)
        inputs_.push_back(file_->input(run.firstInput + i));
}

void TReplayFrameCursor::next() {
    if (atEnd()) return;
    if (++repeatDone_ < file_->frameRuns[run_].repeat) return;
    repeatDone_ = 0;
    ++run_;
    decodeInputs();
}
