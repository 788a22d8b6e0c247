// The run file, writing and reading side by side: sections in file order, each with its writer and its
// reader next to each other.
#include "app/run_file.h"

#include "platform/files.h"
#include "platform/replay_file.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr const char* Header = "kelvanor-run 1";
constexpr int MaxFlyingObjects = 20000;
constexpr size_t MaxPatterns = 64;

// --- Words ---------------------------------------------------------------------------------------------

std::string hexText(std::string_view bytes) {
    if (bytes.empty()) return "-";
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes)
        hex += {digits[byte >> 4], digits[byte & 15]};
    return hex;
}

// Eight hexadecimal digits: a hash, or a float's bits.
std::string bitsWord(uint32_t bits) {
    char text[12];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(bits));
    return text;
}

std::string floatWord(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bitsWord(bits);
}

class TLineWriter {
public:
    TLineWriter& word(std::string_view w) {
        line_ += line_.empty() ? "" : " ";
        line_ += w;
        return *this;
    }
    TLineWriter& number(int64_t n) { return word(std::to_string(n)); }
    TLineWriter& real(float f) { return word(floatWord(f)); }
    TLineWriter& text(std::string_view t) { return word(hexText(t)); }
    void end(std::string& out) {
        out += line_;
        out += '\n';
        line_.clear();
    }

private:
    std::string line_;
};

// One line's words, read in order; the first fault names the line and what was expected.
class TLineReader {
public:
    TLineReader(std::string_view line, int number, std::string& problem)
        : problem_(problem), number_(number), words_(splitWords(line)) {}

    std::string_view tag() const { return words_.empty() ? std::string_view() : words_[0]; }
    bool ok() const { return problem_.empty(); }
    void fail(const std::string& what) {
        if (problem_.empty()) problem_ = "line " + std::to_string(number_) + ": " + what;
    }
    std::string_view next(const char* what) {
        if (at_ >= words_.size()) {
            fail(std::string("missing ") + what);
            return {};
        }
        return words_[at_++];
    }
    int64_t number(const char* what, int64_t low, int64_t high) {
        const std::string_view w = next(what);
        int64_t value = 0;
        const auto [end, error] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ok() && (error != std::errc() || end != w.data() + w.size() || value < low || value > high))
            fail(std::string("bad ") + what);
        return ok() ? value : low;
    }
    uint32_t bits(const char* what) {
        const std::string_view w = next(what);
        uint32_t value = 0;
        const auto [end, error] = std::from_chars(w.data(), w.data() + w.size(), value, 16);
        if (ok() && (w.size() != 8 || error != std::errc() || end != w.data() + w.size()))
            fail(std::string("bad ") + what);
        return value;
    }
    float real(const char* what, float low, float high) {
        const uint32_t b = bits(what);
        float value = 0;
        std::memcpy(&value, &b, sizeof value);
        if (ok() && !(std::isfinite(value) && value >= low && value <= high))
            fail(std::string("bad ") + what);
        return ok() ? value : 0;
    }
    std::string text(const char* what, size_t limit) {
        const std::string_view w = next(what);
        if (w == "-") return {};
        std::string bytes;
        if (w.size() % 2 != 0 || w.size() / 2 > limit) fail(std::string("bad ") + what);
        for (size_t i = 0; ok() && i < w.size(); i += 2) {
            unsigned value = 0;
            const auto [end, error] = std::from_chars(w.data() + i, w.data() + i + 2, value, 16);
            if (error != std::errc() || end != w.data() + i + 2 || value < 32)
                fail(std::string("bad ") + what);
            bytes.push_back(static_cast<char>(value));
        }
        return ok() ? bytes : std::string();
    }
    void finish() {
        if (ok() && at_ != words_.size()) fail("more words than expected");
    }

private:
    std::string& problem_;
    int number_;
    std::vector<std::string_view> words_;
    size_t at_ = 1;
};

constexpr float Far = 1e9f; // larger than anything in an arena

// --- Records -------------------------------------------------------------------------------------------

void writeResult(TLineWriter& w, const TRecordResult& r) {
    w.text(r.name).text(r.brag).number(r.score);
    for (int kills : r.kills)
        w.number(kills);
    w.number(r.shotsFired).number(r.shotsHit);
}

TRecordResult readResult(TLineReader& in) {
    TRecordResult r;
    r.name = in.text("name", TScoreRecord::NameLimit);
    r.brag = in.text("brag text", TScoreRecord::BragLimit);
    r.score = static_cast<int>(in.number("score", INT32_MIN, INT32_MAX));
    for (int& kills : r.kills)
        kills = static_cast<int>(in.number("kill count", INT32_MIN, INT32_MAX));
    r.shotsFired = static_cast<int>(in.number("shots fired", INT32_MIN, INT32_MAX));
    r.shotsHit = static_cast<int>(in.number("shots hit", INT32_MIN, INT32_MAX));
    return r;
}

// --- Particles -----------------------------------------------------------------------------------------

void writeParticle(TLineWriter& w, const TParticleState& p) {
    for (const TVector* v : {&p.position, &p.previousPosition, &p.acceleration, &p.velocity})
        w.real(v->x).real(v->y);
    w.real(p.maxSpeed).real(p.damping).number(p.keepsMargin ? 1 : 0);
}

TParticleState readParticle(TLineReader& in) {
    TParticleState p;
    for (TVector* v : {&p.position, &p.previousPosition, &p.acceleration, &p.velocity}) {
        v->x = in.real("particle", -Far, Far);
        v->y = in.real("particle", -Far, Far);
    }
    p.maxSpeed = in.real("particle", -Far, Far);
    p.damping = in.real("particle", -Far, Far);
    p.keepsMargin = in.number("margin flag", 0, 1) != 0;
    return p;
}

} // namespace

// --- The whole file ------------------------------------------------------------------------------------

std::string runFileText(const TRun& run) {
    const TCarriedState& s = run.start;
    std::string out = std::string(Header) + "\n";
    TLineWriter w;
    writeResult(w.word("result"), run.result);
    w.end(out);
    w.word("level").number(run.level).end(out);
    w.word("frames").number(run.frames).end(out);
    w.word("random").number(s.randomState).end(out);
    w.word("options");
    for (int option : s.options)
        w.number(option);
    w.number(s.configSelected).number(s.joyPort).end(out);
    const TJoypad& pad = s.pad;
    const TJoypadMapping& m = pad.mapping;
    w.word("mapping").number(m.moveXAxis).number(m.moveYAxis).number(m.fireXAxis).number(m.fireYAxis);
    w.number(m.bombButton).number(m.pauseButton).number(m.selectButton).number(m.backButton).end(out);
    w.word("pad").real(pad.move.x).real(pad.move.y).real(pad.fire.x).real(pad.fire.y);
    for (bool flag : {pad.bomb, pad.pause, pad.select, pad.back, pad.pausePrevious, pad.selectPrevious,
                      pad.backPrevious, pad.stickPushed})
        w.number(flag);
    w.number(pad.mode).number(pad.step).number(pad.waiting);
    w.number(pad.connected).number(pad.connectedPrevious).real(pad.pauseTimer).end(out);
    w.word("craft").real(s.fireDelay).real(s.blinkTime).real(s.scroll.x).real(s.scroll.y);
    writeParticle(w, s.craft);
    writeParticle(w, s.border);
    w.end(out);
    w.word("entry").number(s.entryStep).text(s.nameInput).text(s.bragInput).end(out);
    for (const TRecordResult& entry : s.table) {
        writeResult(w.word("table"), entry);
        w.end(out);
    }
    for (const TPatternState& pattern : s.patterns) {
        w.word("pattern").number(pattern.phase).number(pattern.choice).number(pattern.remaining);
        w.number(pattern.groupLimit).real(pattern.waitTime).real(pattern.stepTime);
        w.real(pattern.spawnPoint.x).real(pattern.spawnPoint.y).end(out);
    }
    for (const TShotState& shot : s.shots) {
        writeParticle(w.word("shot").real(shot.life), shot.particle);
        w.end(out);
    }
    for (const TWaveState& wave : s.waves) {
        w.word("wave").real(wave.radius).real(wave.maxRadius).real(wave.alpha);
        w.number(wave.destroysEnemies).number(wave.isActiveBomb ? 1 : 0);
        writeParticle(w, wave.particle);
        w.end(out);
    }
    for (const TPopupState& popup : s.popups)
        w.word("text").real(popup.x).real(popup.y).real(popup.scale).text(popup.text).end(out);
    for (const TRunCheck& check : run.checks) {
        w.word("check").number(check.frame);
        for (uint32_t part : check.parts)
            w.word(bitsWord(part));
        w.end(out);
    }
    w.word("tape").number(static_cast<int64_t>(run.tape.bytes())).end(out);
    out += run.tape.encoded();
    out += "\nend\n";
    return out;
}

namespace {

// The fixed lines, in their order; each reads its words into the run.
bool readFixedLine(TLineReader& in, size_t index, TRun& run) {
    TCarriedState& s = run.start;
    TJoypad& pad = s.pad;
    TJoypadMapping& m = pad.mapping;
    static const char* const tags[] = {"result",  "level", "frames", "random", "options",
                                       "mapping", "pad",   "craft",  "entry"};
    if (in.tag() != tags[index]) {
        in.fail(std::string("expected \"") + tags[index] + "\"");
        return false;
    }
    switch (index) {
    case 0:
        run.result = readResult(in);
        break;
    case 1:
        run.level = static_cast<int>(in.number("level", 1, 1000));
        break;
    case 2:
        run.frames = static_cast<int>(in.number("frame count", 1, 2'000'000));
        break;
    case 3:
        s.randomState = static_cast<int32_t>(in.number("random state", 1, 0x7FFFFFFE));
        break;
    case 4:
        s.options[0] = static_cast<int>(in.number("music option", 0, 4));
        s.options[1] = static_cast<int>(in.number("effects option", 0, 4));
        s.options[2] = static_cast<int>(in.number("grid option", 0, 1));
        s.options[3] = static_cast<int>(in.number("control option", 0, 1));
        s.configSelected = static_cast<int>(in.number("menu entry", 0, 6));
        s.joyPort = static_cast<int>(in.number("joypad port", 0, 15));
        break;
    case 5:
        for (int* axis : {&m.moveXAxis, &m.moveYAxis, &m.fireXAxis, &m.fireYAxis})
            *axis = static_cast<int>(in.number("mapped axis", 0, 9));
        for (int* button : {&m.bombButton, &m.pauseButton, &m.selectButton, &m.backButton})
            *button = static_cast<int>(in.number("mapped button", 0, 11));
        break;
    case 6:
        pad.move.x = in.real("pad move", -2, 2), pad.move.y = in.real("pad move", -2, 2);
        pad.fire.x = in.real("pad fire", -2, 2), pad.fire.y = in.real("pad fire", -2, 2);
        for (bool* flag : {&pad.bomb, &pad.pause, &pad.select, &pad.back, &pad.pausePrevious,
                           &pad.selectPrevious, &pad.backPrevious, &pad.stickPushed})
            *flag = in.number("pad flag", 0, 1) != 0;
        pad.mode = static_cast<int>(in.number("pad screen", 0, 2));
        pad.step = static_cast<int>(in.number("pad step", 0, 20));
        pad.waiting = in.number("pad wait", 0, 1) != 0;
        pad.connected = in.number("pad flag", 0, 1) != 0;
        pad.connectedPrevious = in.number("pad flag", 0, 1) != 0;
        pad.pauseTimer = in.real("pad timer", -Far, Far);
        break;
    case 7:
        s.fireDelay = in.real("fire delay", -Far, Far);
        s.blinkTime = in.real("blink time", -Far, Far);
        s.scroll.x = in.real("scroll", -Far, Far);
        s.scroll.y = in.real("scroll", -Far, Far);
        s.craft = readParticle(in);
        s.border = readParticle(in);
        break;
    case 8:
        s.entryStep = static_cast<int>(in.number("entry step", 0, 2));
        s.nameInput = in.text("name input", TScoreRecord::NameLimit);
        s.bragInput = in.text("brag input", TScoreRecord::BragLimit);
        break;
    }
    in.finish();
    return in.ok();
}

} // namespace

std::optional<TRun> runFromText(std::string_view text, std::string& problem) {
    problem.clear();
    if (text.size() > RunFileMaxBytes) {
        problem = "larger than any run file";
        return std::nullopt;
    }
    TRun run;
    size_t fixed = 0, tableLines = 0;
    int64_t tapeBytes = -1;
    std::string tape;
    bool ended = false;
    int number = 0;
    for (size_t at = 0; at < text.size() && problem.empty();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (ended) {
            problem = "line " + std::to_string(number) + ": after the end";
        } else if (number == 1) {
            if (line != Header) problem = "not a Kelvanor run file (or a newer version)";
        } else {
            TLineReader in(line, number, problem);
            if (fixed < 9) {
                readFixedLine(in, fixed++, run);
            } else if (in.tag() == "table" && tableLines < run.start.table.size()) {
                run.start.table[tableLines++] = readResult(in);
            } else if (tableLines < run.start.table.size()) {
                in.fail("expected ten table lines");
            } else if (in.tag() == "pattern" && run.start.patterns.size() < MaxPatterns) {
                TPatternState pattern;
                pattern.phase = static_cast<int>(in.number("pattern phase", 0, 1));
                pattern.choice = static_cast<int>(in.number("pattern choice", -1000, 1000));
                pattern.remaining = static_cast<int>(in.number("pattern count", -1000000, 1000000));
                pattern.groupLimit = static_cast<int>(in.number("pattern count", -1000000, 1000000));
                pattern.waitTime = in.real("pattern time", -Far, Far);
                pattern.stepTime = in.real("pattern time", -Far, Far);
                pattern.spawnPoint.x = in.real("spawn point", -Far, Far);
                pattern.spawnPoint.y = in.real("spawn point", -Far, Far);
                run.start.patterns.push_back(pattern);
            } else if (in.tag() == "shot" && run.start.shots.size() < MaxFlyingObjects) {
                const float life = in.real("shot life", -Far, Far);
                run.start.shots.push_back({life, readParticle(in)});
            } else if (in.tag() == "wave" && run.start.waves.size() < MaxFlyingObjects) {
                TWaveState wave;
                wave.radius = in.real("wave radius", -Far, Far);
                wave.maxRadius = in.real("wave radius", -Far, Far);
                wave.alpha = in.real("wave alpha", -Far, Far);
                wave.destroysEnemies = static_cast<int>(in.number("wave flag", 0, 1));
                wave.isActiveBomb = in.number("bomb flag", 0, 1) != 0;
                wave.particle = readParticle(in);
                run.start.waves.push_back(wave);
            } else if (in.tag() == "text" && run.start.popups.size() < MaxFlyingObjects) {
                TPopupState popup;
                popup.x = in.real("text position", -Far, Far);
                popup.y = in.real("text position", -Far, Far);
                popup.scale = in.real("text scale", -Far, Far);
                popup.text = in.text("score text", 64);
                run.start.popups.push_back(popup);
            } else if (in.tag() == "check") {
                TRunCheck check;
                const int previous = run.checks.empty() ? -1 : run.checks.back().frame;
                check.frame = static_cast<int>(in.number("check frame", previous + 1, run.frames - 1));
                for (uint32_t& part : check.parts)
                    part = in.bits("check hash");
                run.checks.push_back(check);
            } else if (in.tag() == "tape") {
                // The tape's bytes follow the line as they are, then the end.
                tapeBytes = in.number("tape length", 0, static_cast<int64_t>(RunFileMaxBytes));
                in.finish();
                if (in.ok() && text.size() - std::min(at, text.size()) < static_cast<size_t>(tapeBytes))
                    in.fail("the tape is cut short");
                if (in.ok()) {
                    tape = text.substr(at, static_cast<size_t>(tapeBytes));
                    at += static_cast<size_t>(tapeBytes);
                    if (text.substr(at) != "\nend\n") in.fail("no end after the tape");
                    ended = in.ok();
                    at = text.size();
                }
            } else if (in.tag() == "end") {
                in.fail("the end before the tape");
            } else {
                in.fail("unknown line");
            }
            if (in.ok()) in.finish();
        }
    }
    if (problem.empty() && !ended) problem = "cut short: no end";
    if (problem.empty() && static_cast<int64_t>(tape.size()) != tapeBytes) problem = "the tape is cut short";
    if (problem.empty()) {
        run.tape = TRunTape::fromBytes(tape, problem);
        if (problem.empty() && run.tape.frames() != run.frames)
            problem = "the tape holds " + std::to_string(run.tape.frames()) + " frames, the file says " +
                      std::to_string(run.frames);
    }
    if (!problem.empty()) return std::nullopt;
    return run;
}

std::optional<TRun> readRunFile(const std::string& path, std::string& problem) {
    const TPlainFileRead read = readPlainFile(path, RunFileMaxBytes);
    if (read.state != PlainFileState::Read) {
        problem = read.state == PlainFileState::Missing ? "no file " + path : "cannot read " + path;
        return std::nullopt;
    }
    auto run = runFromText(read.bytes, problem);
    if (!run) problem = path + ": " + problem;
    return run;
}
