// The run tape's reader, on tapes made by hand: one that holds together is taken with its frames
// counted (repeats included), and each damage is refused with a reason, never read past.
#include "platform/run_tape.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// An empty input state: no keys, hits, typed characters, pointer at 0 0, no buttons, losses or pads.
const std::string emptyStart(8, '\0');
// A frame of two clock reads, 16 ms and 0 (zig-zagged: 32 and 0), with no input.
const std::string plainFrame = std::string{0, 2, 32, 0};

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out.push_back(static_cast<char>(value));
    return out;
}

std::string floatBytes(float value) {
    std::string out(4, '\0');
    std::memcpy(out.data(), &value, 4); // little-endian, as the machines the game runs on
    return out;
}

TEST(RunTape, AWholeTapeIsTakenAndEachDamageRefusedWithAReason) {
    const std::string inputFrame = bytes({2 | 1, 1}); // the same clock steps, one input follows
    struct TCase {
        const char* what;
        std::string tape;
        int frames; // -1: refused
    };
    const TCase cases[] = {
        {"two frames, the second repeated 9 times", emptyStart + plainFrame + bytes({1 | 4, 8}), 10},
        {"a key down and up",
         emptyStart + plainFrame + inputFrame + bytes({0, 0, 79, 0, 0}) + inputFrame + bytes({1, 2, 79, 0}),
         3},
        {"a pad axis at a 16-bit position",
         emptyStart + plainFrame + inputFrame + bytes({8, 0, 1, 0xFF, 0x7F}), 2},
        {"cut short in the start", emptyStart.substr(0, 5), -1},
        {"cut short in a frame", emptyStart + bytes({0, 2, 32}), -1},
        {"a negative clock step", emptyStart + bytes({0, 1, 1}), -1},
        {"a repeat past any run", emptyStart + plainFrame + bytes({1 | 4, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}), -1},
        {"a pad slot past the last", emptyStart + plainFrame + inputFrame + bytes({5, 0, 16}), -1},
        {"axis 7", emptyStart + plainFrame + inputFrame + bytes({8, 0, 7 << 1}) + floatBytes(0), -1},
        {"an axis value not a number",
         emptyStart + plainFrame + inputFrame + bytes({8, 0, 0}) + floatBytes(NAN), -1},
        {"an axis value past 1", emptyStart + plainFrame + inputFrame + bytes({8, 0, 0}) + floatBytes(1.5f),
         -1},
        {"inputs out of pump order", emptyStart + plainFrame + bytes({2 | 1, 2, 9, 3, 9, 1}), -1},
        {"an unknown input kind", emptyStart + plainFrame + inputFrame + bytes({12, 0}), -1},
        {"a pointer thrown far off",
         emptyStart + plainFrame + inputFrame + bytes({3, 0, 0xFE, 0xFF, 0x7F, 0}), -1},
    };
    for (const TCase& c : cases) {
        std::string problem;
        const TRunTape tape = TRunTape::fromBytes(c.tape, problem);
        if (c.frames < 0) {
            EXPECT_FALSE(tape) << c.what;
            EXPECT_NE(problem, "") << c.what;
        } else {
            EXPECT_TRUE(tape) << c.what << ": " << problem;
            EXPECT_EQ(tape.frames(), c.frames) << c.what;
            EXPECT_EQ(tape.encoded(), c.tape) << c.what;
        }
    }
}

} // namespace
