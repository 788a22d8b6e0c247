// The menu widget in a real game with real key events: cursor wrap, option clamping, what a frame with
// two keys does, the joypad stick and buttons, drawing, and the capacity limits.
#include "app/ui/menu.h"

#include "app/ui/front_end_kit.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/grid.h"
#include "play/player.h"
#include "shapes/fatal_exit.h"

namespace {

using MenuTest = FrontEndGameTest;

TEST_F(MenuTest, TheTwoMenusStartWithTheirTextsAndSettings) {
    const TMenu& main = *game->mainMenu;
    ASSERT_EQ(main.itemCount, 5);
    const char* mainTexts[] = {"START", "CONFIGURATION", "INSTRUCTIONS", "CREDITS", "QUIT"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(main.items[i].text(), mainTexts[i]);

    const TMenu& config = *game->configMenu;
    ASSERT_EQ(config.itemCount, 7);
    const char* configTexts[] = {"<< MUSIC VOLUME: 100%",
                                 "<< EFFECTS VOLUME: 100%",
                                 "HIDE GRID >>",
                                 "<< CONTROL: DUAL ANALOG JOYPAD",
                                 "CONFIGURE JOYPAD",
                                 "TEST JOYPAD",
                                 "BACK"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(config.items[i].text(), configTexts[i]);
    EXPECT_EQ(config.items[0].options[0], "MUSIC VOLUME: 0% >>");
    EXPECT_EQ(config.items[1].options[2], "<< EFFECTS VOLUME: 50% >>");
    EXPECT_EQ(config.items[2].options[1], "<< SHOW GRID");
    EXPECT_EQ(config.items[3].options[0], "CONTROL: KEYS/MOUSE >>");
    EXPECT_EQ(main.selected, 0);
    EXPECT_EQ(config.selected, 0);
}

TEST_F(MenuTest, UpAndDownWrapAroundWithTheMenuSound) {
    TMenu& menu = *game->mainMenu;
    tapKey(Key::Up);
    EXPECT_EQ(menu.update(), MenuResult::Nothing);
    EXPECT_EQ(menu.selected, 4);
    EXPECT_EQ(menuSoundsPlaying(), 1);
    tapKey(Key::Down);
    menu.update();
    EXPECT_EQ(menu.selected, 0);
    tapKey(Key::Down);
    menu.update();
    EXPECT_EQ(menu.selected, 1);
    EXPECT_EQ(menuSoundsPlaying(), 3);
    EXPECT_EQ(menu.update(), MenuResult::Nothing); // nothing hit: nothing moves, nothing sounds
    EXPECT_EQ(menu.selected, 1);
    EXPECT_EQ(menuSoundsPlaying(), 3);
}

TEST_F(MenuTest, OptionsClampAtTheirEndsButStillSoundAndApply) {
    TMenu& menu = *game->configMenu;
    game->state = GameState::Configuration;
    menu.setOption(ConfigMenuEntry::MusicVolume, 0);
    game->musicVolume = 0.6f; // as if something else had set it
    tapKey(Key::Left);
    stepFrames(1);
    EXPECT_EQ(menu.items[0].current, 0);
    EXPECT_EQ(menu.items[0].text(), "MUSIC VOLUME: 0% >>");
    EXPECT_EQ(game->musicVolume, 0.0f); // reapplied although the option did not move
    EXPECT_GE(menuSoundsPlaying(), 1);

    menu.selected = ConfigMenuEntry::EffectsVolume;
    tapKey(Key::Right);
    EXPECT_EQ(menu.update(), MenuResult::OptionChanged);
    EXPECT_EQ(menu.items[1].current, 4);

    // A command has one option: left and right report a change and leave it at 0.
    menu.selected = ConfigMenuEntry::Back;
    tapKey(Key::Right);
    EXPECT_EQ(menu.update(), MenuResult::OptionChanged);
    EXPECT_EQ(menu.items[6].current, 0);
    EXPECT_EQ(menu.items[6].text(), "BACK");

    // A value from outside (the settings file) cannot point past the options.
    menu.setOption(ConfigMenuEntry::MusicVolume, 9);
    EXPECT_EQ(menu.items[0].text(), "<< MUSIC VOLUME: 100%");
    menu.setOption(ConfigMenuEntry::Grid, -3);
    EXPECT_EQ(menu.items[2].text(), "HIDE GRID >>");
}

TEST_F(MenuTest, ChangedOptionsReachTheGame) {
    TMenu& menu = *game->configMenu;
    game->state = GameState::Configuration;
    const auto press = [&](int entry, int key) {
        menu.selected = entry;
        tapKey(key);
        stepFrames(1);
    };
    press(ConfigMenuEntry::MusicVolume, Key::Left);
    EXPECT_FLOAT_EQ(game->musicVolume, 0.75f);
    press(ConfigMenuEntry::EffectsVolume, Key::Left);
    press(ConfigMenuEntry::EffectsVolume, Key::Left);
    EXPECT_FLOAT_EQ(game->sounds->effectsVolume, 0.5f);
    press(ConfigMenuEntry::Grid, Key::Right);
    EXPECT_EQ(game->grid->enabled, 1);
    press(ConfigMenuEntry::Grid, Key::Left);
    EXPECT_EQ(game->grid->enabled, 0);
    press(ConfigMenuEntry::Control, Key::Left);
    EXPECT_EQ(game->player->controlMode, 0);
    EXPECT_EQ(game->state, GameState::Configuration);
}

TEST_F(MenuTest, UpAndEnterInOneFrameChooseTheNewEntry) {
    TMenu& menu = *game->mainMenu;
    menu.selected = 2;
    tapKey(Key::Enter);
    tapKey(Key::Up);
    EXPECT_EQ(menu.update(), 1);
    EXPECT_EQ(menu.update(), MenuResult::Nothing); // Enter was read once
}

TEST_F(MenuTest, LeftAndEnterInOneFrameChangeTheOptionAndLeaveEnterForLater) {
    TMenu& menu = *game->configMenu;
    menu.selected = ConfigMenuEntry::Grid;
    menu.setOption(ConfigMenuEntry::Grid, 1);
    tapKey(Key::Left);
    tapKey(Key::Enter);
    EXPECT_EQ(menu.update(), MenuResult::OptionChanged);
    EXPECT_EQ(menu.items[2].current, 0);
    EXPECT_EQ(menu.update(), ConfigMenuEntry::Grid); // the Enter was still counted
}

TEST_F(MenuTest, EveryDirectionKeyIsReadAndTheLastReadWins) {
    TMenu& menu = *game->mainMenu;
    tapKey(Key::Down);
    tapKey(Key::Up);
    menu.update();
    EXPECT_EQ(menu.selected, 1); // Down is read after Up, whatever order they were hit in
    menu.update();
    EXPECT_EQ(menu.selected, 1); // and neither is left counted
}

TEST_F(MenuTest, AHeldStickMovesTheCursorOnce) {
    TMenu& menu = *game->mainMenu;
    TJoypad& pad = plugJoypad();
    pad.move.set(0, 0.9f); // pushed down at this poll, centred at the one before
    menu.update();
    EXPECT_EQ(menu.selected, 1);
    pad.stickPushed = 1; // still held at the next poll
    menu.update();
    menu.update();
    EXPECT_EQ(menu.selected, 1);
    pad.stickPushed = 0;
    pad.move.set(0, -0.9f);
    menu.update();
    EXPECT_EQ(menu.selected, 0);
    pad.move.set(0, 0.8f); // the threshold itself is not past it
    menu.update();
    EXPECT_EQ(menu.selected, 0);
}

TEST_F(MenuTest, StickSidewaysWinsOverUpAndDownAndKeysWinOverTheStick) {
    TMenu& menu = *game->configMenu;
    TJoypad& pad = plugJoypad();
    pad.move.set(-0.9f, 0.9f); // diagonal: the sideways test comes last
    EXPECT_EQ(menu.update(), MenuResult::OptionChanged);
    EXPECT_EQ(menu.selected, 0);
    EXPECT_EQ(menu.items[0].current, 3);

    pad.move.set(0, 0.9f);
    tapKey(Key::Up);
    menu.update();
    EXPECT_EQ(menu.selected, 6);
}

TEST_F(MenuTest, TheJoypadSelectButtonChooses) {
    TMenu& menu = *game->mainMenu;
    TJoypad& pad = plugJoypad();
    menu.selected = 3;
    pad.select = 1;
    pad.selectPrevious = 1; // held since the poll before: not a press
    EXPECT_EQ(menu.update(), MenuResult::Nothing);
    pad.selectPrevious = 0;
    EXPECT_EQ(menu.update(), 3);
    EXPECT_EQ(menuSoundsPlaying(), 1);
}

TEST_F(MenuTest, TheSelectedEntryIsWhiteAndTheOthersGreen) {
    TMenu& menu = *game->mainMenu;
    menu.selected = 1;
    clearFrame();
    menu.draw(490);
    // Over the bar (48, 72, 48) a fully covered pixel of white text saturates; green text leaves red low.
    const auto brightest = [](int row) {
        const PixelBuffer band = grabScreenRegion(0, row, 800, 16);
        int best = 0, bestRed = 0;
        for (int y = 0; y < band->height; ++y)
            for (int x = 0; x < band->width; ++x) {
                const auto p = band->pixel(x, y);
                if (p[1] > best || (p[1] == best && p[0] > bestRed)) best = p[1], bestRed = p[0];
            }
        return bestRed;
    };
    EXPECT_NEAR(brightest(490), 198, 3);
    EXPECT_NEAR(brightest(510), 255, 3);
    EXPECT_NEAR(brightest(530), 198, 3);
    EXPECT_NEAR(colorAt(3, 570)[1], 72, 2); // the fifth entry's bar, at 490 + 80 - 5 .. + 15
    EXPECT_EQ(colorAt(3, 590)[1], 0);
}

// No game and no display: the child process of a death test must not inherit the platform's threads.
TEST(MenuDeathTest, ATenthEntryOrASixthOptionStopsTheProgram) {
    auto menu = TMenu::create();
    for (int i = 0; i < TMenu::MaxItems; ++i)
        menu->addItem("ENTRY");
    EXPECT_EXIT(menu->addItem("ONE TOO MANY"), endedWithFailure, "ONE TOO MANY");
    for (int i = 1; i < TMenuItem::MaxOptions; ++i)
        menu->addOption(0, "OPTION");
    EXPECT_EXIT(menu->addOption(0, "SIXTH"), endedWithFailure, "SIXTH");
    EXPECT_EQ(menu->items[0].optionCount, 5);
}

} // namespace
