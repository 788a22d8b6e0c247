// The run tape: its byte format (writing and reading side by side), the recorder and the player.
//
// Sections: bytes · the format · recording · playback · hooks · public operations.
//
// The bytes, all numbers as unsigned LEB128 varints (signed ones zig-zagged first), floats as their four
// bytes, least significant first:
//
//   start    held keys (count, then scancode and its key code each), key hits not yet read (count, then
//            code and hits), the typed characters (count, bytes), pointer x and y, the mouse buttons
//            (one byte of bits), focus losses not yet read, pads (count, then slot, present, the layout
//            (known and its eight numbers), the buttons and the six driven axes)
//   frame    a flags byte: 1 its clock steps are the previous frame's, 2 it has input, 4 it repeats
//            then, unless 1, the number of clock reads and each step; unless 4 is clear, the repeats
//            after the first; unless 2 is clear, the number of inputs and each input
//   input    kind, the pump of the frame that delivered it, then by kind: key down scancode keycode
//            repeat · key up scancode keycode · text length bytes · pointer dx dy (from the last
//            pointer on the tape) · mouse button down dx dy · pad added/removed slot · pad buttons slot
//            bits · pad axis (slot, axis and whether a 16-bit position follows, in one byte) then the
//            position or the value · pad layout slot and eight numbers · quit, focus lost: none
//
// A tape is read one frame at a time from its bytes, both to check it and to play it, so a tape in memory
// costs its bytes and no more.
#include "platform/run_tape.h"

#include "platform/input_state.h"
#include "platform/platform_internal.h"
#include "platform/replay_hooks.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

struct TTapeData {
    std::string bytes;
    int frames = 0;
};

struct TTapeAccess {
    static std::shared_ptr<const TTapeData> data(const TRunTape& tape) { return tape.data_; }
    static TRunTape make(std::shared_ptr<const TTapeData> data) {
        TRunTape tape;
        tape.data_ = std::move(data);
        return tape;
    }
};

namespace {

// --- Bytes ---------------------------------------------------------------------------------------------

// Limits a tape never reaches in play; anything past them is a damaged or hostile file.
constexpr int MaxFrames = 2'000'000;         // 20 levels at a thousand frames a second, five times over
constexpr int MaxClockReads = 16;            // the game reads the clock twice a frame
constexpr int64_t MaxClockStep = 86'400'000; // a day, for a machine asleep in the middle of a run
constexpr int MaxInputsPerFrame = 4096;
constexpr int MaxPump = 100'000;
constexpr int MaxTextBytes = 256;
constexpr int PointerReach = 100'000; // display pixels either side

void putVarint(std::string& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

void putSigned(std::string& out, int64_t value) {
    putVarint(out, (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63));
}

void putByte(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
}

void putFloat(std::string& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        putByte(out, static_cast<int>(bits >> (8 * i)));
}

// Reads what the writers above wrote; every read fails (and stays failed) past the end or on a number
// out of its range, naming what it was reading.
class TByteReader {
public:
    explicit TByteReader(std::string_view bytes) : bytes_(bytes) {}

    bool atEnd() const { return at_ == bytes_.size(); }
    bool failed() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }
    void fail(const std::string& what) {
        if (problem_.empty()) problem_ = what + " at byte " + std::to_string(at_);
    }

    int64_t number(const char* what, int64_t low, int64_t high) {
        uint64_t value = 0;
        for (int shift = 0; !failed(); shift += 7) {
            if (at_ == bytes_.size() || shift > 63) {
                fail(std::string("cut short in ") + what);
                return low;
            }
            const auto byte = static_cast<unsigned char>(bytes_[at_++]);
            value |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) break;
        }
        return inRange(static_cast<int64_t>(value), what, low, high);
    }
    int64_t signedNumber(const char* what, int64_t low, int64_t high) {
        const auto raw = static_cast<uint64_t>(number(what, 0, INT64_MAX));
        const auto value = static_cast<int64_t>((raw >> 1) ^ (~(raw & 1) + 1));
        return inRange(value, what, low, high);
    }
    int byte(const char* what, int high) {
        if (at_ == bytes_.size()) {
            fail(std::string("cut short in ") + what);
            return 0;
        }
        return static_cast<int>(inRange(static_cast<unsigned char>(bytes_[at_++]), what, 0, high));
    }
    float real(const char* what, float low, float high) {
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= static_cast<uint32_t>(byte(what, 255)) << (8 * i);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!failed() && !(std::isfinite(value) && value >= low && value <= high))
            fail(std::string("a ") + what + " out of range");
        return failed() ? 0 : value;
    }
    std::string text(size_t length) {
        if (bytes_.size() - at_ < length) {
            fail("cut short in a text");
            return {};
        }
        std::string text(bytes_.substr(at_, length));
        at_ += length;
        return text;
    }

private:
    int64_t inRange(int64_t value, const char* what, int64_t low, int64_t high) {
        if (failed()) return low;
        if (value < low || value > high) {
            fail(std::string("a ") + what + " out of range");
            return low;
        }
        return value;
    }

    std::string_view bytes_;
    size_t at_ = 0;
    std::string problem_;
};

// --- The format ----------------------------------------------------------------------------------------

// The backends turn a pad's 16-bit axis position into the game's -1..1 this way; the tape turns it back.
constexpr int NoPosition = INT32_MIN;

float valueAtPosition(int16_t position) {
    return static_cast<float>(2.0 * (position + 32768) / 65535.0 - 1.0);
}

int axisPosition(float value) {
    const long position = std::lround((static_cast<double>(value) + 1.0) / 2.0 * 65535.0) - 32768;
    if (position < INT16_MIN || position > INT16_MAX) return NoPosition;
    return valueAtPosition(static_cast<int16_t>(position)) == value ? static_cast<int>(position) : NoPosition;
}

void putLayout(std::string& out, const TPadLayout& l) {
    putByte(out, l.known ? 1 : 0);
    for (int number : {l.leftX, l.leftY, l.rightX, l.rightY, l.rightShoulder, l.start, l.south, l.east})
        putSigned(out, number);
}

TPadLayout readLayout(TByteReader& in) {
    TPadLayout l;
    l.known = in.byte("layout flag", 1) != 0;
    for (int* number :
         {&l.leftX, &l.leftY, &l.rightX, &l.rightY, &l.rightShoulder, &l.start, &l.south, &l.east})
        *number = static_cast<int>(in.signedNumber("layout number", -1, 255));
    return l;
}

std::string encodeStart(const TInputState& s) {
    std::string out;
    int held = 0, hits = 0;
    for (uint8_t code : s.scancodeKey)
        held += code != 0;
    for (int count : s.keyHits)
        hits += count != 0;
    putVarint(out, static_cast<uint64_t>(held));
    for (int scancode = 0; scancode < Scancode::Count; ++scancode) {
        if (s.scancodeKey[scancode] == 0) continue;
        putVarint(out, static_cast<uint64_t>(scancode));
        putVarint(out, s.scancodeKey[scancode]);
    }
    putVarint(out, static_cast<uint64_t>(hits));
    for (int code = 0; code < InputLimits::KeyCount; ++code) {
        if (s.keyHits[code] == 0) continue;
        putVarint(out, static_cast<uint64_t>(code));
        putVarint(out, static_cast<uint64_t>(s.keyHits[code]));
    }
    putVarint(out, static_cast<uint64_t>(s.typedCount));
    for (int i = 0; i < s.typedCount; ++i)
        putByte(out, s.typed[(s.typedFirst + i) % InputLimits::TypedQueueSize]);
    putSigned(out, s.pointerAtX);
    putSigned(out, s.pointerAtY);
    putByte(out, (s.mouseButtons[1] ? 2 : 0) | (s.mouseButtons[2] ? 4 : 0) | (s.mouseButtons[3] ? 8 : 0));
    putVarint(out, static_cast<uint64_t>(s.focusLosses));
    int pads = 0;
    for (const TPad& pad : s.pads)
        pads += pad.present || pad.buttons != 0;
    putVarint(out, static_cast<uint64_t>(pads));
    for (int slot = 0; slot < InputLimits::PadCount; ++slot) {
        const TPad& pad = s.pads[slot];
        if (!pad.present && pad.buttons == 0) continue;
        putByte(out, slot);
        putByte(out, pad.present ? 1 : 0);
        putLayout(out, pad.layout);
        putVarint(out, pad.buttons);
        for (int axis = 0; axis < InputLimits::DrivenAxisCount; ++axis)
            putFloat(out, pad.axes[axis]);
    }
    return out;
}

TInputState readStart(TByteReader& in) {
    TInputState s;
    const auto held = in.number("held key count", 0, Scancode::Count);
    for (int64_t i = 0; i < held && !in.failed(); ++i) {
        const auto scancode = in.number("scancode", 0, Scancode::Count - 1);
        const auto code = in.number("key code", 1, InputLimits::KeyCount - 1);
        if (s.scancodeKey[scancode] != 0) in.fail("a key held twice");
        s.scancodeKey[scancode] = static_cast<uint8_t>(code);
        ++s.keysHeld[code];
    }
    const auto hits = in.number("key hit count", 0, InputLimits::KeyCount);
    for (int64_t i = 0; i < hits && !in.failed(); ++i) {
        const auto code = in.number("key code", 0, InputLimits::KeyCount - 1);
        s.keyHits[code] = static_cast<int>(in.number("key hits", 1, 1000));
    }
    s.typedCount = static_cast<int>(in.number("typed count", 0, InputLimits::TypedQueueSize));
    for (int i = 0; i < s.typedCount; ++i)
        s.typed[i] = static_cast<uint8_t>(in.byte("typed character", 255));
    s.pointerAtX = static_cast<int>(in.signedNumber("pointer x", -PointerReach, PointerReach));
    s.pointerAtY = static_cast<int>(in.signedNumber("pointer y", -PointerReach, PointerReach));
    const int buttons = in.byte("mouse buttons", 14);
    for (int button = 1; button <= 3; ++button)
        s.mouseButtons[button] = (buttons >> button) & 1;
    s.focusLosses = static_cast<int>(in.number("focus losses", 0, 1000));
    const auto pads = in.number("pad count", 0, InputLimits::PadCount);
    for (int64_t i = 0; i < pads && !in.failed(); ++i) {
        TPad& pad = s.pads[in.byte("pad slot", InputLimits::PadCount - 1)];
        pad.present = in.byte("pad flag", 1) != 0;
        pad.layout = readLayout(in);
        pad.buttons = static_cast<uint32_t>(in.number("pad buttons", 0, UINT32_MAX));
        for (int axis = 0; axis < InputLimits::DrivenAxisCount; ++axis)
            pad.axes[axis] = in.real("pad axis", -1, 1);
    }
    return s;
}

// One frame as read from the bytes.
struct TTapeFrame {
    std::vector<int> steps;
    int repeat = 1;
    std::vector<std::pair<int, TInputRecord>> inputs; // the pump, the input
};

void putInput(std::string& out, int pump, const TInputRecord& r, int& pointerX, int& pointerY) {
    putByte(out, static_cast<int>(r.kind));
    putVarint(out, static_cast<uint64_t>(pump));
    auto putPointer = [&] {
        putSigned(out, static_cast<int64_t>(r.x) - pointerX);
        putSigned(out, static_cast<int64_t>(r.y) - pointerY);
        pointerX = r.x, pointerY = r.y;
    };
    switch (r.kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        putVarint(out, static_cast<uint64_t>(r.code));
        putSigned(out, r.key);
        if (r.kind == InputKind::KeyDown) putByte(out, r.flag != 0);
        break;
    case InputKind::Text:
        putVarint(out, r.text.size());
        out += r.text;
        break;
    case InputKind::Pointer:
        putPointer();
        break;
    case InputKind::MouseButton:
        putByte(out, r.code);
        putByte(out, r.flag != 0);
        putPointer();
        break;
    case InputKind::PadAdded:
    case InputKind::PadRemoved:
        putByte(out, r.code);
        break;
    case InputKind::PadButtons:
        putByte(out, r.code);
        putVarint(out, r.bits);
        break;
    case InputKind::PadAxis: {
        // Pads report 16-bit positions; a value that is one of them goes as its two bytes.
        const int position = axisPosition(r.value);
        putByte(out, (r.code << 4) | (r.key << 1) | (position != NoPosition ? 1 : 0));
        if (position != NoPosition) {
            putByte(out, position & 0xFF);
            putByte(out, (position >> 8) & 0xFF);
        } else {
            putFloat(out, r.value);
        }
        break;
    }
    case InputKind::PadLayout: {
        putByte(out, r.code);
        for (int number : r.layout)
            putSigned(out, number);
        break;
    }
    case InputKind::Quit:
    case InputKind::FocusLost:
        break;
    }
}

TInputRecord readInput(TByteReader& in, int& pump, int& pointerX, int& pointerY) {
    TInputRecord r;
    r.kind = static_cast<InputKind>(in.byte("input kind", static_cast<int>(InputKind::FocusLost)));
    pump = static_cast<int>(in.number("pump", 0, MaxPump));
    auto readPointer = [&] {
        pointerX = static_cast<int>(in.signedNumber("pointer x", -PointerReach, PointerReach) + pointerX);
        pointerY = static_cast<int>(in.signedNumber("pointer y", -PointerReach, PointerReach) + pointerY);
        if (std::abs(pointerX) > PointerReach || std::abs(pointerY) > PointerReach)
            in.fail("a pointer out of range");
        r.x = pointerX, r.y = pointerY;
    };
    switch (r.kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        r.code = static_cast<int>(in.number("scancode", 0, Scancode::Count - 1));
        r.key = static_cast<int>(in.signedNumber("keycode", INT32_MIN, INT32_MAX));
        if (r.kind == InputKind::KeyDown) r.flag = in.byte("repeat flag", 1);
        break;
    case InputKind::Text:
        r.text = in.text(static_cast<size_t>(in.number("text length", 0, MaxTextBytes)));
        if (r.text.find('\0') != std::string::npos) in.fail("a text with a NUL");
        break;
    case InputKind::Pointer:
        readPointer();
        break;
    case InputKind::MouseButton:
        r.code = in.byte("mouse button", 3);
        r.flag = in.byte("button flag", 1);
        readPointer();
        break;
    case InputKind::PadAdded:
    case InputKind::PadRemoved:
        r.code = in.byte("pad slot", InputLimits::PadCount - 1);
        break;
    case InputKind::PadButtons:
        r.code = in.byte("pad slot", InputLimits::PadCount - 1);
        r.bits = static_cast<uint32_t>(in.number("pad buttons", 0, UINT32_MAX));
        break;
    case InputKind::PadAxis: {
        const int where = in.byte("pad axis", 255);
        r.code = where >> 4;
        r.key = (where >> 1) & 7;
        if (r.key >= InputLimits::DrivenAxisCount) in.fail("a pad axis out of range");
        if (where & 1) {
            const int low = in.byte("pad axis position", 255);
            r.value = valueAtPosition(static_cast<int16_t>(low | (in.byte("pad axis position", 255) << 8)));
        } else {
            r.value = in.real("pad axis", -1, 1);
        }
        break;
    }
    case InputKind::PadLayout:
        r.code = in.byte("pad slot", InputLimits::PadCount - 1);
        for (int& number : r.layout)
            number = static_cast<int>(in.signedNumber("layout number", -1, 255));
        break;
    case InputKind::Quit:
    case InputKind::FocusLost:
        break;
    }
    return r;
}

// Reads a tape frame by frame: the start first, then each frame as the player asks for it.
class TTapeReader {
public:
    explicit TTapeReader(std::string_view bytes) : in_(bytes) {}

    TInputState start() {
        TInputState s = readStart(in_);
        pointerX_ = s.pointerAtX, pointerY_ = s.pointerAtY;
        return s;
    }

    // False at the end of the tape or on a fault (then problem() says which).
    bool next(TTapeFrame& frame) {
        if (in_.failed() || in_.atEnd()) return false;
        const int flags = in_.byte("frame flags", 7);
        if ((flags & 1) == 0) {
            const auto reads = in_.number("clock read count", 0, MaxClockReads);
            steps_.clear();
            for (int64_t i = 0; i < reads; ++i)
                steps_.push_back(static_cast<int>(in_.signedNumber("clock step", 0, MaxClockStep)));
        }
        frame.steps = steps_;
        frame.repeat = (flags & 4) ? static_cast<int>(in_.number("frame repeat", 0, MaxFrames)) + 1 : 1;
        frame.inputs.clear();
        if (flags & 2) {
            const auto count = in_.number("input count", 1, MaxInputsPerFrame);
            for (int64_t i = 0; i < count && !in_.failed(); ++i) {
                int pump = 0;
                TInputRecord record = readInput(in_, pump, pointerX_, pointerY_);
                if (!frame.inputs.empty() && pump < frame.inputs.back().first)
                    in_.fail("inputs out of order");
                frame.inputs.emplace_back(pump, std::move(record));
            }
        }
        frames_ += frame.repeat;
        if (frames_ > MaxFrames) in_.fail("too many frames");
        return !in_.failed();
    }

    bool failed() const { return in_.failed(); }
    const std::string& problem() const { return in_.problem(); }
    int frames() const { return frames_; }

private:
    TByteReader in_;
    std::vector<int> steps_;
    int pointerX_ = 0, pointerY_ = 0;
    int frames_ = 0;
};

// --- Recording -----------------------------------------------------------------------------------------

struct TPadSeenOnTape {
    uint32_t buttons = 0;
    std::array<float, InputLimits::DrivenAxisCount> axes{};
};

struct TTapeRecorder {
    int clockBase = 0;
    bool started = false; // past the first frame boundary
    std::string bytes;
    int frames = 0;
    int pump = -1;
    uint32_t lastClock = 0;
    std::vector<int> steps; // this frame's clock steps
    std::string inputs;     // this frame's inputs, encoded
    int inputCount = 0;
    std::vector<int> lastSteps; // the previous frame's, for the flag that repeats them
    bool anyFrame = false;
    int heldRepeat = 0; // input-less frames like the last written, not yet written
    int pointerX = 0, pointerY = 0;
    std::array<TPadSeenOnTape, InputLimits::PadCount> padsSeen{};
};

std::optional<TTapeRecorder> tapeRecorder;

void writeHeldRepeat(TTapeRecorder& r) {
    if (r.heldRepeat == 0) return;
    putByte(r.bytes, 1 | 4);
    putVarint(r.bytes, static_cast<uint64_t>(r.heldRepeat - 1));
    r.heldRepeat = 0;
}

void writeTapeFrame(TTapeRecorder& r) {
    const bool sameSteps = r.anyFrame && r.steps == r.lastSteps;
    if (sameSteps && r.inputCount == 0) {
        ++r.heldRepeat;
    } else {
        writeHeldRepeat(r);
        putByte(r.bytes, (sameSteps ? 1 : 0) | (r.inputCount > 0 ? 2 : 0));
        if (!sameSteps) {
            putVarint(r.bytes, r.steps.size());
            for (int step : r.steps)
                putSigned(r.bytes, step);
        }
        if (r.inputCount > 0) {
            putVarint(r.bytes, static_cast<uint64_t>(r.inputCount));
            r.bytes += r.inputs;
        }
    }
    r.lastSteps = r.steps;
    r.anyFrame = true;
    r.steps.clear();
    r.inputs.clear();
    r.inputCount = 0;
    ++r.frames;
}

void recordTapeInput(TTapeRecorder& r, const TInputRecord& record) {
    if (r.inputCount >= MaxInputsPerFrame) return; // a flood no player makes; the tape would be refused
    putInput(r.inputs, std::max(r.pump, 0), record, r.pointerX, r.pointerY);
    ++r.inputCount;
}

void startRecordingFrames(TTapeRecorder& r) {
    const TInputState& s = inputState();
    r.bytes = encodeStart(s);
    r.pointerX = s.pointerAtX, r.pointerY = s.pointerAtY;
    for (int slot = 0; slot < InputLimits::PadCount; ++slot) {
        r.padsSeen[slot].buttons = s.pads[slot].buttons;
        for (int axis = 0; axis < InputLimits::DrivenAxisCount; ++axis)
            r.padsSeen[slot].axes[axis] = s.pads[slot].axes[axis];
    }
    r.lastClock = static_cast<uint32_t>(r.clockBase);
    r.started = true;
}

// --- Playback ------------------------------------------------------------------------------------------

struct TTapePlayer {
    std::shared_ptr<const TTapeData> tape;
    std::optional<TTapeReader> reader;
    bool started = false;
    bool exhausted = false;
    bool held = false;
    int played = 0; // frames finished
    uint32_t clock = 0;
    TTapeFrame frame;
    int repeatsLeft = 0; // further frames like `frame`, after the one playing
    size_t clockCursor = 0;
    size_t inputCursor = 0;
    int pump = -1;
    TInputState live; // the tapePlayer's own input while the tape plays
};

std::optional<TTapePlayer> tapePlayer;

void nextPlayedFrame(TTapePlayer& p) {
    p.clockCursor = 0;
    p.inputCursor = 0;
    p.pump = -1;
    if (p.repeatsLeft > 0) {
        --p.repeatsLeft;
        p.frame.inputs.clear(); // only input-less frames repeat
        return;
    }
    if (!p.reader->next(p.frame)) {
        p.exhausted = true;
        p.frame = TTapeFrame{};
        return;
    }
    p.repeatsLeft = p.frame.repeat - 1;
}

void startPlayingFrames(TTapePlayer& p) {
    p.reader.emplace(p.tape->bytes);
    p.live = inputState();
    inputState() = p.reader->start();
    p.started = true;
    nextPlayedFrame(p);
}

// Live events go to the tapePlayer's own state; the game's stays the tape's.
void pumpLive(TTapePlayer& p) {
    std::swap(inputState(), p.live);
    pumpLiveEvents();
    std::swap(inputState(), p.live);
}

} // namespace

// --- Hooks ---------------------------------------------------------------------------------------------

bool runTapeTakesPump() {
    if (tapeRecorder && tapeRecorder->started) ++tapeRecorder->pump;
    if (!tapePlayer || !tapePlayer->started) return false;
    TTapePlayer& p = *tapePlayer;
    pumpLive(p);
    if (p.held) return true;
    ++p.pump;
    while (p.inputCursor < p.frame.inputs.size() && p.frame.inputs[p.inputCursor].first <= p.pump)
        applyInputRecord(p.frame.inputs[p.inputCursor++].second);
    return true;
}

void runTapeSeesInput(const TInputRecord& record) {
    if (tapeRecorder && tapeRecorder->started) recordTapeInput(*tapeRecorder, record);
}

void runTapeSeesPad(int slot) {
    if (!tapeRecorder || !tapeRecorder->started || slot < 0 || slot >= InputLimits::PadCount) return;
    const TPad& pad = inputState().pads[slot];
    TPadSeenOnTape& seen = tapeRecorder->padsSeen[slot];
    if (pad.buttons != seen.buttons) {
        TInputRecord record;
        record.kind = InputKind::PadButtons;
        record.code = slot;
        record.bits = pad.buttons;
        recordTapeInput(*tapeRecorder, record);
        seen.buttons = pad.buttons;
    }
    for (int axis = 0; axis < InputLimits::DrivenAxisCount; ++axis) {
        // Outside -1..1 (or not a number) only from a broken driver; kept in range so the tape stays
        // readable.
        const float value =
            std::isfinite(pad.axes[axis]) ? std::fmax(-1.0f, std::fmin(1.0f, pad.axes[axis])) : 0;
        if (value == seen.axes[axis]) continue;
        TInputRecord record;
        record.kind = InputKind::PadAxis;
        record.code = slot;
        record.key = axis;
        record.value = value;
        recordTapeInput(*tapeRecorder, record);
        seen.axes[axis] = value;
    }
}

int runTapeClock(int millis) {
    if (tapeRecorder && tapeRecorder->started) {
        const auto now = static_cast<uint32_t>(millis);
        if (tapeRecorder->steps.size() < MaxClockReads)
            tapeRecorder->steps.push_back(
                static_cast<int>(std::min<uint32_t>(now - tapeRecorder->lastClock, MaxClockStep)));
        tapeRecorder->lastClock = now;
        return millis;
    }
    if (!tapePlayer || !tapePlayer->started) return millis;
    TTapePlayer& p = *tapePlayer;
    // A game that reads the clock more often than the recorded one has left the recorded path; the clock
    // then stands still and the run's checks say where.
    if (p.clockCursor < p.frame.steps.size())
        p.clock += static_cast<uint32_t>(p.frame.steps[p.clockCursor++]);
    return static_cast<int>(p.clock);
}

void runTapeFrameEnded() {
    if (tapeRecorder) {
        if (tapeRecorder->started)
            writeTapeFrame(*tapeRecorder);
        else
            startRecordingFrames(*tapeRecorder);
        tapeRecorder->pump = -1;
    }
    if (tapePlayer) {
        if (!tapePlayer->started) {
            startPlayingFrames(*tapePlayer);
        } else if (!tapePlayer->exhausted) {
            ++tapePlayer->played;
            nextPlayedFrame(*tapePlayer);
        }
    }
}

// --- Public operations ---------------------------------------------------------------------------------

int TRunTape::frames() const {
    return data_ ? data_->frames : 0;
}

size_t TRunTape::bytes() const {
    return data_ ? data_->bytes.size() : 0;
}

const std::string& TRunTape::encoded() const {
    static const std::string none;
    return data_ ? data_->bytes : none;
}

TRunTape TRunTape::fromBytes(std::string_view bytes, std::string& problem) {
    TTapeReader reader(bytes);
    reader.start();
    TTapeFrame frame;
    while (reader.next(frame)) {
    }
    if (reader.failed()) {
        problem = "run tape: " + reader.problem();
        return {};
    }
    auto data = std::make_shared<TTapeData>();
    data->bytes.assign(bytes);
    data->frames = reader.frames();
    return TTapeAccess::make(std::move(data));
}

void armRunTape(int clockBase) {
    tapeRecorder.emplace();
    tapeRecorder->clockBase = clockBase;
}

bool runTapeRecording() {
    return tapeRecorder.has_value();
}

TRunTape finishRunTape() {
    if (!tapeRecorder) return {};
    TTapeRecorder& r = *tapeRecorder;
    if (!r.started) startRecordingFrames(r);
    writeHeldRepeat(r);
    auto data = std::make_shared<TTapeData>();
    data->bytes = std::move(r.bytes);
    data->frames = r.frames;
    tapeRecorder.reset();
    return TTapeAccess::make(std::move(data));
}

void playRunTape(const TRunTape& tape, int clockBase) {
    stopRunTape();
    if (!tape) return;
    tapePlayer.emplace();
    tapePlayer->tape = TTapeAccess::data(tape);
    tapePlayer->clock = static_cast<uint32_t>(clockBase);
}

bool runTapePlaying() {
    return tapePlayer && tapePlayer->started;
}

int runTapeFramesPlayed() {
    return tapePlayer ? tapePlayer->played : 0;
}

bool runTapeExhausted() {
    return tapePlayer && tapePlayer->exhausted;
}

void holdRunTape(bool held) {
    if (tapePlayer) tapePlayer->held = held;
}

void stopRunTape() {
    if (!tapePlayer) return;
    if (tapePlayer->started) {
        TInputState& s = inputState();
        s = std::move(tapePlayer->live);
        // Keys the watcher pressed are the watch's; none is left over for the page it returns to.
        s.keyHits.fill(0);
        s.typedFirst = 0;
        s.typedCount = 0;
    }
    tapePlayer.reset();
}

int liveKeyHitCount(int code) {
    if (!runTapePlaying()) return keyHitCount(code);
    pumpLive(*tapePlayer);
    if (code < 0 || code >= InputLimits::KeyCount) return 0;
    return std::exchange(tapePlayer->live.keyHits[code], 0);
}

bool liveKeyDown(int code) {
    if (!runTapePlaying()) return isKeyDown(code) != 0;
    pumpLive(*tapePlayer);
    return code >= 0 && code < InputLimits::KeyCount && tapePlayer->live.keysHeld[code] > 0;
}

bool liveQuitRequested() {
    if (!runTapePlaying()) return quitRequested();
    pumpLive(*tapePlayer);
    return tapePlayer->live.quit;
}
