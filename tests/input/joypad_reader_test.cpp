#include "joypad_fixture.h"

#include <array>

namespace {

// The virtual pad quantises to 16 bits.
constexpr float AxisTolerance = 1e-4f;

TEST_F(JoypadTest, ANewReaderHasNoSticksAndEveryFunctionOnButtonZero) {
    pad->setAxis(PadAxis::X, 0.7f);
    pad->setAxis(PadAxis::Y, -0.6f);
    pad->setButton(0, true);
    joypad->poll(0);

    EXPECT_EQ(joypad->mode, JoypadMode::Hidden);
    EXPECT_FLOAT_EQ(joypad->pauseTimer, 2.0f);
    EXPECT_EQ(joypad->move.x, 0.0f);
    EXPECT_EQ(joypad->move.y, 0.0f);
    EXPECT_EQ(joypad->fire.x, 0.0f);
    EXPECT_EQ(joypad->fire.y, 0.0f);
    EXPECT_EQ(joypad->bomb, 1);
    EXPECT_EQ(joypad->pause, 1);
    EXPECT_EQ(joypad->select, 1);
    EXPECT_EQ(joypad->back, 1);

    pad->setButton(0, false);
    joypad->poll(0);
    EXPECT_EQ(joypad->bomb + joypad->pause + joypad->select + joypad->back, 0);
}

TEST_F(JoypadTest, AxisNumbersReachTheirPlatformAxesAndPitchRollYawStayStill) {
    const std::array<float, 6> platformValues = {0.1f, 0.2f, 0.3f, 0.4f, 0.6f, -0.7f};
    for (int axis = 0; axis < 6; ++axis)
        pad->setAxis(axis, platformValues[axis]);

    // Number:                           0  X     Y     Z     R     pitch roll yaw  U     V
    const std::array<float, 10> expected = {0, 0.1f, 0.2f, 0.3f, 0.4f, 0, 0, 0, 0.6f, -0.7f};
    for (int number = 0; number <= 9; ++number)
        EXPECT_NEAR(TJoypad::readAxis(number, 0), expected[number], AxisTolerance) << "axis " << number;
    EXPECT_EQ(TJoypad::readAxis(10, 0), 0.0f);
    EXPECT_EQ(TJoypad::readAxis(1, 1), 0.0f); // nothing plugged in as pad 1

    const std::array<const char*, 10> names = {"",          "JOY-X",    "JOY-Y",   "JOY-Z", "JOY-R",
                                               "JOY-PITCH", "JOY-ROLL", "JOY-YAW", "JOY-U", "JOY-V"};
    for (int number = 0; number <= 9; ++number)
        EXPECT_EQ(TJoypad::axisName(number), names[number]);
    EXPECT_EQ(TJoypad::axisName(-1), "");
    EXPECT_EQ(TJoypad::axisName(42), "");
}

TEST_F(JoypadTest, ButtonsCountAsPressedOnlyAtThePollTheyGoDown) {
    mapButtons(1, 3, 4, 5);
    joypad->poll(0);
    EXPECT_FALSE(joypad->pausePressed());

    pad->setButton(3, true);
    pad->setButton(4, true);
    joypad->poll(0);
    EXPECT_TRUE(joypad->pausePressed());
    EXPECT_TRUE(joypad->selectPressed());
    EXPECT_FALSE(joypad->backPressed());

    // Held: no second press.
    joypad->poll(0);
    EXPECT_FALSE(joypad->pausePressed());
    EXPECT_FALSE(joypad->selectPressed());
    EXPECT_EQ(joypad->pausePrevious, 1);

    // Released: neither a press nor still down.
    pad->setButton(3, false);
    pad->setButton(5, true);
    joypad->poll(0);
    EXPECT_FALSE(joypad->pausePressed());
    EXPECT_EQ(joypad->pause, 0);
    EXPECT_EQ(joypad->pausePrevious, 1);
    EXPECT_TRUE(joypad->backPressed());

    // Down again after a poll up: a new press.
    pad->setButton(3, true);
    joypad->poll(0);
    EXPECT_TRUE(joypad->pausePressed());
}

TEST_F(JoypadTest, StickPushedLagsOnePollBehindTheMoveStick) {
    mapSticks(1, 2, 0, 0);
    pad->setAxis(PadAxis::X, 0.95f);
    joypad->poll(0);
    EXPECT_EQ(joypad->stickPushed, 0); // the menu takes its one step on this poll
    joypad->poll(0);
    EXPECT_EQ(joypad->stickPushed, 1); // and is held off while the stick stays out

    pad->setAxis(PadAxis::X, 0.5f);
    joypad->poll(0);
    EXPECT_EQ(joypad->stickPushed, 1); // still the pushed stick of the poll before
    joypad->poll(0);
    EXPECT_EQ(joypad->stickPushed, 0);

    // Either component, either direction.
    pad->setAxis(PadAxis::X, 0.0f);
    pad->setAxis(PadAxis::Y, -0.85f);
    joypad->poll(0);
    joypad->poll(0);
    EXPECT_EQ(joypad->stickPushed, 1);
    pad->setAxis(PadAxis::Y, -0.75f);
    joypad->poll(0);
    joypad->poll(0);
    EXPECT_EQ(joypad->stickPushed, 0);
}

TEST_F(JoypadTest, TheWorldPassPollsThroughTheCraftsPort) {
    mapSticks(2, 0, 0, 0);
    mapButtons(0, 7, 0, 0);
    pad->setAxis(PadAxis::Y, -0.5f);
    pad->setButton(7, true);
    stepFrames(1);
    EXPECT_NEAR(joypad->move.x, -0.5f, AxisTolerance);
    EXPECT_TRUE(joypad->pausePressed());
    stepFrames(1);
    EXPECT_FALSE(joypad->pausePressed());
}

TEST_F(JoypadTest, AxisDetectionTakesTheFirstAxisClearlyMovedButNotAtFullTravel) {
    EXPECT_EQ(joypad->detectAxis(0), 0);

    // A trigger resting at full travel is never taken; nor is an axis only nudged.
    pad->setAxis(PadAxis::X, -1.0f);
    pad->setAxis(PadAxis::Y, 0.45f);
    pad->setAxis(PadAxis::Z, 0.92f);
    EXPECT_EQ(joypad->detectAxis(0), 0);

    pad->setAxis(PadAxis::V, 0.7f);
    EXPECT_EQ(joypad->detectAxis(0), 9);
    pad->setAxis(PadAxis::U, -0.6f);
    EXPECT_EQ(joypad->detectAxis(0), 8);
    pad->setAxis(PadAxis::R, -0.85f);
    EXPECT_EQ(joypad->detectAxis(0), 4);
    pad->setAxis(PadAxis::Y, 0.55f);
    EXPECT_EQ(joypad->detectAxis(0), 2);
    EXPECT_EQ(joypad->detectAxis(1), 0);
}

TEST_F(JoypadTest, ButtonDetectionTakesTheLowestOfButtonsZeroToEleven) {
    EXPECT_EQ(joypad->detectButton(0), -1);
    pad->setButton(12, true); // beyond what the mapping can hold
    EXPECT_EQ(joypad->detectButton(0), -1);
    pad->setButton(11, true);
    EXPECT_EQ(joypad->detectButton(0), 11);
    pad->setButton(7, true);
    pad->setButton(3, true);
    EXPECT_EQ(joypad->detectButton(0), 3);
    pad->setButton(0, true);
    EXPECT_EQ(joypad->detectButton(0), 0);
    EXPECT_EQ(joypad->detectButton(1), -1);
}

} // namespace
