#include "harness/input_driver.h"
#include "platform/input.h"
#include "platform/program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

TEST(ProgramControl, FatalErrorPrintsTheMessageAndExitsWithMinusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(raiseFatalError("Shape file missing: incbin::player.xml"), testing::ExitedWithCode(255),
                "^Shape file missing: incbin::player.xml\n");
}

TEST(ProgramControl, ExitEndsTheProcessWithSuccess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            initPlatform();
            exitProgram();
        },
        testing::ExitedWithCode(0), "");
}

TEST(ProgramControl, StartingTwiceIsHarmless) {
    useTestDrivers();
    EXPECT_TRUE(initPlatform());
    EXPECT_TRUE(initPlatform());
}

TEST(ProgramControl, TerminationSignalsArriveAsQuitRequests) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    useTestDrivers();
    for (int signalNumber : {SIGTERM, SIGINT}) {
        // Without the platform's handling the signal would kill the child instead of exiting it with 7.
        EXPECT_EXIT(
            {
                initPlatform();
                std::raise(signalNumber);
                std::exit(quitRequested() ? 7 : 1);
            },
            testing::ExitedWithCode(7), "")
            << "signal " << signalNumber;
    }
}

TEST(Clock, ATestClockReplacesTheSystemClockUntilRemoved) {
    int now = 1000;
    setClockSource([&now] { return now; });
    EXPECT_EQ(elapsedMillis(), 1000);
    now = 1016;
    EXPECT_EQ(elapsedMillis(), 1016);
    setClockSource({});
    const int before = elapsedMillis();
    sleepMillis(30);
    const int after = elapsedMillis();
    // Only the difference means anything: the count may wrap in between.
    EXPECT_GE(static_cast<int>(static_cast<unsigned>(after) - static_cast<unsigned>(before)), 30);
    EXPECT_LT(static_cast<int>(static_cast<unsigned>(after) - static_cast<unsigned>(before)), 1000);
}
