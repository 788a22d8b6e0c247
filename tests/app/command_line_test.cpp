// The command line's render scale: "--scale" before the bug-report options, and nothing but what it takes.
#include "app/entry.h"
#include "harness/display_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CommandLine, ScaleChoosesTheRenderScaleAndRefusesWhatItDoesNotTake) {
    struct TCase {
        std::vector<const char*> arguments;
        bool accepted;
        float scale; // the scale frames are drawn at afterwards
    };
    const TCase cases[] = {
        {{"kelvanor", "--scale", "2"}, true, 2.0f},
        {{"kelvanor", "--scale", "0.5"}, false, 2.0f}, // below the picture's own size: the choice stays
        {{"kelvanor", "--scale", "big"}, false, 2.0f},
        {{"kelvanor", "--scale"}, false, 2.0f},
        {{"kelvanor", "--scale", "native", "--bogus"}, false, 1.0f}, // taken, but the rest is not
        {{"kelvanor", "--scale", "1.5"}, true, 1.5f},
        {{"kelvanor", "--scale", "auto"}, true, 1.0f}, // the null backend's surface is 800 x 600
    };
    ASSERT_TRUE(openTestDisplay());
    for (const TCase& c : cases) {
        std::vector<char*> argv;
        for (const char* argument : c.arguments)
            argv.push_back(const_cast<char*>(argument));
        EXPECT_EQ(applyCommandLine(static_cast<int>(argv.size()), argv.data()), c.accepted) << argv.back();
        clearFrame(); // a frame starts at the chosen scale
        EXPECT_FLOAT_EQ(renderScale(), c.scale) << argv.back();
    }
}

} // namespace
