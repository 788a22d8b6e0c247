// The menu widget in a real game with real key events: cursor wrap, option clamping and applying, what a
// frame with two keys does, the joypad stick and SELECT, and the capacity limits.
#include "app/ui/menu.h"

#include "app/ui/front_end_kit.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/grid.h"
#include "play/player.h"
#include "shapes/fatal_exit.h"

namespace {

using MenuTest = FrontEndGameTest;

TEST_F(MenuTest, UpAndDownWrapAroundWithTheMenuSound) {
    TMenu& menu = *game->mainMenu;
    tapKey(Key::Up);
    EXPECT_EQ(menu.update(), MenuResult::Nothing);
    EXPECT_EQ(menu.selectedEntry<MainMenuEntry>(), MainMenuEntry::Quit); // the last entry
    EXPECT_EQ(menuSoundsPlaying(), 1);
    tapKey(Key::Down);
    menu.update();
    EXPECT_EQ(menu.selected, 0);
    EXPECT_EQ(menu.update(), MenuResult::Nothing); // nothing hit: nothing moves, nothing sounds
    EXPECT_EQ(menu.selected, 0);
    EXPECT_EQ(menuSoundsPlaying(), 2);
}

TEST_F(MenuTest, AClampedOptionStillSoundsAndIsAppliedAgain) {
    TMenu& menu = *game->configMenu;
    game->state = GameState::Configuration;
    menu.setOption(menuIndex(ConfigMenuEntry::MusicVolume), 0);
    game->musicVolume = 0.6f; // out of step with the menu
    tapKey(Key::Left);
    stepFrames(1);
    EXPECT_EQ(menu.items[0].text(), "MUSIC VOLUME: 0% >>");
    EXPECT_EQ(game->musicVolume, 0.0f);
    EXPECT_GE(menuSoundsPlaying(), 1);

    // A value from outside (the settings file) cannot point past the options.
    menu.setOption(menuIndex(ConfigMenuEntry::MusicVolume), 9);
    EXPECT_EQ(menu.items[0].text(), "<< MUSIC VOLUME: 100%");
}

TEST_F(MenuTest, ChangedOptionsReachTheGame) {
    TMenu& menu = *game->configMenu;
    game->state = GameState::Configuration;
    const auto press = [&](ConfigMenuEntry entry, int key) {
        menu.selected = menuIndex(entry);
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
    press(ConfigMenuEntry::Control, Key::Left);
    EXPECT_EQ(game->player->controlMode, 0);
    EXPECT_EQ(game->state, GameState::Configuration);
}

TEST_F(MenuTest, TwoKeysInOneFrame) {
    // Up then Enter: the cursor moves and the new entry is chosen.
    TMenu& main = *game->mainMenu;
    main.selected = 2;
    tapKey(Key::Enter);
    tapKey(Key::Up);
    EXPECT_EQ(main.update(), MenuResult::Chosen);
    EXPECT_EQ(main.selected, 1);
    EXPECT_EQ(main.update(), MenuResult::Nothing);

    // Left then Enter: the option changes and Enter is left counted for the next frame.
    TMenu& config = *game->configMenu;
    config.selected = menuIndex(ConfigMenuEntry::Control);
    tapKey(Key::Left);
    tapKey(Key::Enter);
    EXPECT_EQ(config.update(), MenuResult::OptionChanged);
    EXPECT_EQ(config.items[3].current, 0);
    EXPECT_EQ(config.update(), MenuResult::Chosen);
    EXPECT_EQ(config.selectedEntry<ConfigMenuEntry>(), ConfigMenuEntry::Control);
}

TEST_F(MenuTest, AHeldStickMovesTheCursorOnceAndSelectChooses) {
    TMenu& menu = *game->mainMenu;
    TJoypad& pad = plugJoypad();
    pad.move.set(0, 0.9f); // pushed down at this poll, centred at the one before
    menu.update();
    EXPECT_EQ(menu.selected, 1);
    pad.stickPushed = 1; // still held at the next polls
    menu.update();
    menu.update();
    EXPECT_EQ(menu.selected, 1);
    pad.stickPushed = 0;
    pad.move.set(0.8f, -0.9f); // up; 0.8 sideways is not past the threshold
    menu.update();
    EXPECT_EQ(menu.selected, 0);

    pad.move.set(0, 0);
    pad.select = 1;
    pad.selectPrevious = 1; // held since the poll before: not a press
    EXPECT_EQ(menu.update(), MenuResult::Nothing);
    pad.selectPrevious = 0;
    EXPECT_EQ(menu.update(), MenuResult::Chosen);
    EXPECT_EQ(menu.selected, 0);
}

// No game and no display: a death test's child must not inherit the platform's threads.
TEST(MenuDeathTest, ATenthEntryOrASixthOptionStopsTheProgram) {
    auto menu = TMenu::create();
    for (int i = 0; i < TMenu::MaxItems; ++i)
        menu->addItem("ENTRY");
    EXPECT_EXIT(menu->addItem("ONE TOO MANY"), endedWithFailure, "ONE TOO MANY");
    for (int i = 1; i < TMenuItem::MaxOptions; ++i)
        menu->addOption(0, "OPTION");
    EXPECT_EXIT(menu->addOption(0, "SIXTH"), endedWithFailure, "SIXTH");
}

} // namespace
