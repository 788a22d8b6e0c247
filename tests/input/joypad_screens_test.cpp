#include "joypad_fixture.h"

#include "app/ui/menu.h"
#include "platform/display.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

class JoypadScreenTest : public JoypadTest {
protected:
    // One frame of a joypad screen as the configuration and pause states run it.
    void screenFrame(float dt) {
        joypad->drawScreen();
        joypad->updateScreen(dt);
    }
    // The confirmation lasts 2 seconds: still shown after four half seconds, gone after the fifth.
    void confirm(int stepConfirmed) {
        ASSERT_EQ(joypad->waiting, 1);
        for (int i = 0; i < 4; ++i)
            screenFrame(0.5f);
        ASSERT_EQ(joypad->step, stepConfirmed);
        ASSERT_EQ(joypad->waiting, 1);
        screenFrame(0.5f);
        ASSERT_EQ(joypad->step, stepConfirmed + 1);
        ASSERT_EQ(joypad->waiting, 0);
        ASSERT_FLOAT_EQ(joypad->pauseTimer, 2.0f);
    }
    void startConfiguration() {
        joypad->mode = JoypadMode::Configuration;
        joypad->step = 1;
    }
};

TEST_F(JoypadScreenTest, TheDialogueMapsEveryStickAndButtonThenShowsTheTest) {
    game->configMenu = std::make_shared<TMenu>();
    game->configMenu->selected = 4;  // CONFIGURE JOYPAD, as chosen
    pad->setAxis(PadAxis::Z, -1.0f); // a trigger at rest, all through the dialogue
    startConfiguration();

    for (int i = 0; i < 10; ++i)
        screenFrame(0.5f);
    EXPECT_EQ(joypad->step, 1);
    EXPECT_EQ(joypad->waiting, 0);

    pad->setAxis(PadAxis::R, 0.7f);
    screenFrame(0.016f);
    EXPECT_EQ(joypad->mapping.moveXAxis, 4);
    confirm(1);
    pad->setAxis(PadAxis::R, 0.0f);

    screenFrame(0.016f);
    EXPECT_EQ(joypad->waiting, 0); // nothing moved yet
    pad->setAxis(PadAxis::Y, -0.7f);
    screenFrame(0.016f);
    confirm(2);
    pad->setAxis(PadAxis::Y, 0.0f);

    pad->setAxis(PadAxis::U, 0.6f);
    screenFrame(0.016f);
    confirm(3);
    pad->setAxis(PadAxis::U, 0.0f);

    pad->setAxis(PadAxis::V, 0.8f);
    screenFrame(0.016f);
    confirm(4);

    // Axis steps ignore buttons and button steps ignore sticks: V is still pushed here.
    screenFrame(0.016f);
    EXPECT_EQ(joypad->waiting, 0);
    pad->setButton(7, true);
    screenFrame(0.016f);
    EXPECT_EQ(joypad->mapping.bombButton, 7);
    confirm(5);
    // Held through the confirmation: taken again, at once, for PAUSE.
    screenFrame(0.016f);
    EXPECT_EQ(joypad->mapping.pauseButton, 7);
    confirm(6);
    pad->setButton(7, false);

    pad->setButton(2, true);
    screenFrame(0.016f);
    confirm(7);
    pad->setButton(2, false);

    pad->setButton(10, true);
    screenFrame(0.016f);
    confirm(8);
    pad->setButton(10, false);

    EXPECT_EQ(joypad->step, 9);
    EXPECT_EQ(joypad->mode, JoypadMode::Configuration);
    screenFrame(0.016f); // "DONE!"
    EXPECT_EQ(game->configMenu->selected, 2);
    EXPECT_EQ(joypad->mode, JoypadMode::Test);

    EXPECT_EQ(mappingValues(joypad->mapping), (std::array<int, 8>{4, 2, 8, 9, 7, 7, 2, 10}));

    // The test screen polls with the new mapping.
    pad->setAxis(PadAxis::R, -0.3f);
    pad->setButton(10, true);
    screenFrame(0.016f);
    EXPECT_NEAR(joypad->move.x, -0.3f, 1e-4f);
    EXPECT_NEAR(joypad->fire.y, 0.8f, 1e-4f);
    EXPECT_EQ(joypad->back, 1);
}

// The prompt line as drawn: where its text lies (the bar beneath stays under the threshold) and the
// brightest blue in it, which tells white text (255) from green (150 over the bar).
struct TPromptLine {
    TPixelBounds text;
    int blue = 0;
};
TPromptLine promptLine() {
    const PixelBuffer row = grabScreenRegion(0, 260, 800, 20);
    TPromptLine line{litBounds(*row, 100), 0};
    for (int y = 0; y < row->height; ++y)
        for (int x = 0; x < row->width; ++x)
            line.blue = std::max<int>(line.blue, row->pixel(x, y)[2]);
    return line;
}

// Centred text of the measured width, give or take the glyphs' side bearings.
void expectCentredText(const TPixelBounds& bounds, std::string_view text) {
    const int width = measureTextWidth(text);
    EXPECT_NEAR(bounds.right - bounds.left, width, 4) << text;
    EXPECT_NEAR(bounds.left, 400 - width / 2, 3) << text;
}

TEST_F(JoypadScreenTest, PromptsAreWhiteAndEachCaptureIsConfirmedInGreen) {
    startConfiguration();
    joypad->drawScreen();
    TPromptLine line = promptLine();
    expectCentredText(line.text, "PUSH 'MOVE' STICK LEFT OR RIGHT...");
    EXPECT_EQ(line.blue, 255);

    pad->setAxis(PadAxis::R, 0.7f);
    joypad->updateScreen(0.016f);
    clearFrame();
    joypad->drawScreen();
    line = promptLine();
    expectCentredText(line.text, "OK, SET TO JOY-R");
    EXPECT_LT(line.blue, 220);

    joypad->step = 6;
    joypad->mapping.pauseButton = 11;
    clearFrame();
    joypad->drawScreen();
    expectCentredText(promptLine().text, "OK, SET TO BUTTON 11");
}

TEST_F(JoypadScreenTest, ACancelledConfirmationDoesNotSkipAPromptNextTime) {
    startConfiguration();
    pad->setAxis(PadAxis::X, 0.7f);
    screenFrame(0.016f);
    ASSERT_EQ(joypad->waiting, 1);
    screenFrame(0.5f);

    // Escape: the screen closes and the menu's frames poll the pad as usual.
    joypad->mode = JoypadMode::Hidden;
    pad->setAxis(PadAxis::X, 0.0f);
    stepFrames(2);

    startConfiguration();
    for (int i = 0; i < 6; ++i)
        screenFrame(0.5f);
    EXPECT_EQ(joypad->step, 1);
    EXPECT_EQ(joypad->waiting, 0);
}

TEST_F(JoypadScreenTest, TheTestScreenPutsEachStickDotWhereTheStickPoints) {
    mapSticks(1, 2, 4, 3);
    pad->setAxis(PadAxis::X, 0.5f); // move dot centre (310, 245)
    pad->setAxis(PadAxis::Y, -1.0f);
    pad->setAxis(PadAxis::R, -1.0f); // fire dot centre (463, 310)
    pad->setAxis(PadAxis::Z, 0.3f);
    joypad->mode = JoypadMode::Test;
    joypad->updateScreen(0.016f);
    clearFrame();
    joypad->drawScreen();

    using Rgb = std::array<int, 3>;
    constexpr Rgb red = {255, 0, 0};
    // Dots are 8 x 8: the pixels 4 left/up of the centre to 3 right/down of it.
    for (auto [x, y] : {std::pair{310, 245}, {306, 241}, {313, 248}, {463, 310}, {459, 306}, {466, 313}})
        EXPECT_EQ(colorAt(x, y), red) << x << "," << y;
    for (auto [x, y] : {std::pair{305, 245}, {314, 245}, {310, 250}, {463, 305}, {467, 310}, {463, 314}})
        EXPECT_NE(colorAt(x, y), red) << x << "," << y;
    // The centred stick positions are empty of dots.
    EXPECT_NE(colorAt(285, 295), red);
    EXPECT_NE(colorAt(513, 295), red);

    // The band at 0.8 over black, and the squares at 0.8 over the band.
    const auto near = [](Rgb seen, Rgb wanted) {
        for (int c = 0; c < 3; ++c)
            if (std::abs(seen[c] - wanted[c]) > 2) return false;
        return true;
    };
    EXPECT_PRED2(near, colorAt(100, 300), (Rgb{48, 48, 72}));
    EXPECT_PRED2(near, colorAt(100, 389), (Rgb{48, 48, 72}));
    EXPECT_PRED2(near, colorAt(100, 390), (Rgb{0, 0, 0}));
    EXPECT_PRED2(near, colorAt(240, 330), (Rgb{82, 82, 110}));
    EXPECT_PRED2(near, colorAt(560, 330), (Rgb{82, 82, 110}));
    EXPECT_PRED2(near, colorAt(340, 330), (Rgb{48, 48, 72}));
}

} // namespace
