// The replay file reader: what it refuses and why, what it keeps of what it accepts, and that every record
// the writer makes reads back as it was.
#include "platform/replay_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

namespace {

const std::string hashes = " shell=00000000000000a1 grid=00000000000000b2";

// A whole file of 61 frames: the first with input, a checkpoint at 0 and 60, stopped after frame 60.
std::string wholeFile(const std::string& frames = "f 16 0 *59\nf 16 0\n") {
    return "kelvanor-replay 1\nrandom 5\nfile config.ini -\nf 100000 0 33 0\n0 mm 400 300\n2 kd 40 13 0\n"
           "h 0" +
           hashes + "\n" + frames + "h 60" + hashes + "\nend 61 stop" + hashes + "\n";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

} // namespace

TEST(ReplayFileReader, AWholeFileIsKeptRunLength) {
    const TReplayRead read = readReplayText(wholeFile());
    ASSERT_TRUE(read.file) << read.refusal;
    const TReplayFile& file = *read.file;
    EXPECT_EQ(file.frameCount, 61);
    EXPECT_EQ(file.frameRuns.size(), 3u) << "59 repeated frames are one entry";
    EXPECT_EQ(file.checkpoints.size(), 2u);
    ASSERT_NE(file.checkpointAt(60), nullptr);
    EXPECT_EQ(file.checkpointAt(60)->hashes[1], (TStateHash{"grid", 0xb2}));
    EXPECT_EQ(file.end.frame, 61);
    ASSERT_EQ(file.keptFiles.size(), 1u);
    EXPECT_EQ(file.keptFiles[0].read.state, PlainFileState::Missing);

    // The cursor walks every frame once, with the first frame's input and the clock itself.
    TReplayFrameCursor cursor(file);
    ASSERT_EQ(cursor.inputs().size(), 2u);
    EXPECT_EQ(cursor.inputs()[1].pump, 2);
    EXPECT_EQ(cursor.clockSteps()[0], 100000u);
    int frames = 0;
    for (; !cursor.atEnd(); cursor.next())
        ++frames;
    EXPECT_EQ(frames, 61);
}

// Each damage a stranger's file may carry, refused with its reason, never read as a run.
TEST(ReplayFileReader, RefusesWhatItCannotTrust) {
    struct TCase {
        const char* what;
        std::string text;
        const char* reason;
    };
    const std::string whole = wholeFile();
    const TCase cases[] = {
        {"empty", "", "not a Kelvanor replay"},
        {"another header", replaced(whole, "replay 1", "replay 2"), "not a Kelvanor replay"},
        {"only the header lines", "kelvanor-replay 1\nrandom 5\n", "without its end line"},
        {"cut short", whole.substr(0, whole.size() - 20), "cut off in the middle of a line"},
        {"cut after a whole line", whole.substr(0, whole.find("h 60")), "without its end line"},
        {"a huge repeat", wholeFile("f 16 *2147483647\n"), "without its checkpoint"},
        {"a repeat past int", wholeFile("f 16 *2147483648\n"), "a repeat"},
        {"an end far away", replaced(whole, "end 61", "end 2147483646"), "an end at frame 2147483646"},
        {"an end too early", replaced(whole, "end 61", "end 30"), "an end at frame 30"},
        {"a lost checkpoint", replaced(whole, "h 60" + hashes + "\n", ""), "without its checkpoint"},
        {"a checkpoint moved", replaced(whole, "h 60", "h 59"), "a checkpoint for frame 59"},
        {"a line after the end", whole + "f 16\n", "a line after the end"},
        {"a negative clock step", replaced(whole, "f 16 0 *59", "f -5 0 *59"), "a clock step"},
        {"a clock step past int", replaced(whole, "f 16 0 *59", "f 4294967295 *59"), "a clock step"},
        {"a clock that is no number", replaced(whole, "f 100000", "f 1e5"), "the clock"},
        {"65 clock reads", replaced(whole, "f 16 0\n", "f" + repeated(" 1", 65) + "\n"),
         "more than 64 clock reads"},
        {"an infinite axis", replaced(whole, "0 mm 400 300", "0 px 0 0 inf"), "axis value"},
        {"a NaN axis", replaced(whole, "0 mm 400 300", "0 px 0 0 nan"), "axis value"},
        {"an axis beyond 1", replaced(whole, "0 mm 400 300", "0 px 0 0 0x1.8p+0"), "axis value"},
        {"a pad slot of 16", replaced(whole, "0 mm 400 300", "0 pa 16"), "a pad slot"},
        {"a pointer off the picture", replaced(whole, "0 mm 400 300", "0 mm 800 300"), "off the picture"},
        {"a negative pointer", replaced(whole, "0 mm 400 300", "0 mb 1 1 -1 0"), "off the picture"},
        {"a scancode of 512", replaced(whole, "2 kd 40 13 0", "2 kd 512 13 0"), "a scancode"},
        {"a missing value", replaced(whole, "2 kd 40 13 0", "2 kd 40 13"), "with 2 values"},
        {"a value too many", replaced(whole, "0 mm 400 300", "0 mm 400 300 7"), "with 3 values"},
        {"pumps going back", replaced(whole, "0 mm 400 300\n2 kd", "3 mm 400 300\n2 kd"), "a pump"},
        {"input after a repeat", replaced(whole, "*59\n", "*59\n0 q\n"), "belongs to no single frame"},
        {"input before any frame", replaced(whole, "file config.ini -", "0 q"), "belongs to no single frame"},
        {"an unknown kind", replaced(whole, "0 mm", "0 zz"), "unknown input kind"},
        {"odd hex text", replaced(whole, "0 mm 400 300", "0 tx 414"), "typed text"},
        {"a short hash", replaced(whole, "grid=00000000000000b2\nend", "grid=b2\nend"), "16 hex digits"},
        {"a hash twice", replaced(whole, " grid=00000000000000b2\nend", " shell=00000000000000b2\nend"),
         "twice"},
        {"an unknown line", replaced(whole, "random 5\n", "random 5\nspeed 4\n"), "unknown line"},
        {"no random line", replaced(whole, "random 5\n", ""), "no random line"},
        {"a kept file in broken hex", replaced(whole, "config.ini -", "config.ini 5g"), "not hexadecimal"},
    };
    for (const TCase& test : cases) {
        const auto start = std::chrono::steady_clock::now();
        const TReplayRead read = readReplayText(test.text);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(read.file) << test.what;
        EXPECT_NE(read.refusal.find(test.reason), std::string::npos) << test.what << ": " << read.refusal;
        EXPECT_EQ(read.refusal.find('\n'), std::string::npos) << test.what << ": one line";
        EXPECT_LT(took, std::chrono::milliseconds(100)) << test.what;
    }
}

// The largest file the reader takes, every byte of it input lines, is read in bounded time; one byte more
// is refused before anything is read.
TEST(ReplayFileReader, TheLargestFileCostsBoundedTime) {
    std::string text = wholeFile();
    const size_t at = text.find("h 0");
    std::string filler;
    while (filler.size() + text.size() + 8 < ReplayFileByteLimit)
        filler += "9 fl\n";
    text.insert(at, filler);
    const auto start = std::chrono::steady_clock::now();
    const TReplayRead read = readReplayText(text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_TRUE(read.file) << read.refusal;
    EXPECT_EQ(read.file->inputCount(), filler.size() / 5 + 2);
    text.append(ReplayFileByteLimit - text.size() + 1, '\n');
    EXPECT_NE(readReplayText(text).refusal.find("larger than"), std::string::npos);
}

// Every kind of record, at the ends of its ranges, written and read back as it was.
TEST(ReplayFileReader, EveryRecordReadsBackAsWritten) {
    auto make = [](InputKind kind, int code, int key, int flag, int x, int y) {
        TInputRecord record;
        record.kind = kind, record.code = code, record.key = key, record.flag = flag, record.x = x,
        record.y = y;
        return record;
    };
    std::vector<TInputRecord> records = {
        make(InputKind::KeyDown, 511, std::numeric_limits<int>::min(), 1, 0, 0),
        make(InputKind::KeyUp, 0, 1073741903, 0, 0, 0),
        make(InputKind::Pointer, 0, 0, 0, 799, 599),
        make(InputKind::MouseButton, 3, 0, 1, 0, 599),
        make(InputKind::PadAdded, 15, 0, 0, 0, 0),
        make(InputKind::PadRemoved, 0, 0, 0, 0, 0),
        make(InputKind::Quit, 0, 0, 0, 0, 0),
        make(InputKind::FocusLost, 0, 0, 0, 0, 0),
    };
    TInputRecord text = make(InputKind::Text, 0, 0, 0, 0, 0), emptyText = text;
    text.text = "\xc3\xa9 q";
    TInputRecord buttons = make(InputKind::PadButtons, 15, 0, 0, 0, 0);
    buttons.bits = 0xffffffffu;
    TInputRecord axis = make(InputKind::PadAxis, 2, 15, 0, 0, 0), lowAxis = axis;
    axis.value = std::nextafter(1.0f, 0.0f);
    lowAxis.value = -1.0f;
    TInputRecord layout = make(InputKind::PadLayout, 1, 0, 0, 0, 0);
    layout.layout = {0, 1, 3, 4, 31, -1, 0, 1};
    records.insert(records.end(), {text, emptyText, buttons, axis, lowAxis, layout});

    std::string inputs;
    for (const TInputRecord& record : records)
        inputs += replayInputLine(7, record);
    const std::vector<uint32_t> first = {uint32_t{0xfffffff0}}, steps = {16, 0};
    std::string text2 = replayHeaderLines(-3) + replayKeptFileLine("config.ini", {PlainFileState::Read, ""}) +
                        replayKeptFileLine("config.ini", {PlainFileState::Unreadable, ""}) +
                        replayFrameLine(first, 1) + inputs + replayCheckpointLine(0, {{"shell", 1}}) +
                        replayFrameLine(steps, 59) + replayFrameLine(steps, 1) +
                        replayCheckpointLine(60, {{"shell", ~uint64_t{0}}}) + replayEndLine(61, true, {});
    const TReplayRead read = readReplayText(text2);
    ASSERT_TRUE(read.file) << read.refusal << "\n" << text2;
    const TReplayFile& file = *read.file;
    EXPECT_EQ(file.randomState, -3);
    EXPECT_EQ(file.keptFiles[0].read, (TPlainFileRead{PlainFileState::Read, ""})) << "an empty settings file";
    EXPECT_EQ(file.keptFiles[1].read.state, PlainFileState::Unreadable);
    EXPECT_EQ(file.clockSteps[0], 0xfffffff0u) << "the clock itself, past 2^31";
    EXPECT_EQ(file.checkpoints[1].hashes[0].hash, ~uint64_t{0});
    EXPECT_TRUE(file.end.byExit);
    ASSERT_EQ(file.inputCount(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const TReplayInput got = file.input(i);
        const TInputRecord& sent = records[i];
        SCOPED_TRACE(replayInputLine(7, sent));
        EXPECT_EQ(got.pump, 7);
        const TInputRecord& back = got.record;
        EXPECT_EQ(back.kind, sent.kind);
        EXPECT_EQ(
            std::tie(back.code, back.key, back.flag, back.x, back.y, back.bits, back.text, back.layout),
            std::tie(sent.code, sent.key, sent.flag, sent.x, sent.y, sent.bits, sent.text, sent.layout));
        EXPECT_EQ(back.value, sent.value);
    }
}
