// The end of a life and the end of a run: the life-lost countdown, the way back into play, game over, the
// three results against the hiscore table with their name entries, and the way back to the title.
#include "app/states_kit.h"
#include "enemies/level_director.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shot.h"
#include "shapes/shape.h"

#include <algorithm>

namespace {

using LifeLostTest = StatesTest;

TEST_F(LifeLostTest, ACraftWithLivesLeftComesBackShieldedToAnEmptyArena) {
    startPlaying();
    TPlayer& craft = *game->player;
    craft.kills = 12;
    craft.multiplier = 4;
    craft.bombs = 2;
    craft.weaponLevel = 3;
    game->snakeCount = 3;
    game->levelDirector->waveBusy = 1;
    auto bystander = addTestEnemy(EnemyKind::Chaser, craft.particle->position.x + 300, 100);
    bystander->dyingTime = 100; // breaking up slowly: still there when the countdown ends
    auto killer = loseALife();
    EXPECT_EQ(craft.lives, 2);
    const TVector diedAt = craft.particle->position;

    // The countdown runs on dt with the field still there; nothing clears before it is over.
    stepFrames(countdownFramesButOne, longFrame);
    EXPECT_EQ(game->state, GameState::LifeLost);
    EXPECT_TRUE(game->enemies.contains(killer.get()));
    EXPECT_TRUE(game->enemies.contains(bystander.get()));

    stepFrames(1, 2 * longFrame);
    EXPECT_EQ(game->state, GameState::Play);
    // Gone with their particles; the patterns may already have sent new ones in this frame.
    for (const auto& enemy : {killer, bystander}) {
        EXPECT_FALSE(game->enemies.contains(enemy.get()));
        EXPECT_FALSE(game->particles.contains(enemy->particle.get()));
    }
    EXPECT_EQ(craft.shape->visible, 1);
    EXPECT_EQ(game->shieldShape->visible, 1);
    EXPECT_EQ(craft.shieldOn, 1);
    EXPECT_FLOAT_EQ(craft.shieldTime, 3.0f);
    EXPECT_EQ(craft.kills, 0);
    EXPECT_EQ(craft.multiplier, 1);
    EXPECT_EQ(game->snakeCount, 0);
    EXPECT_EQ(game->levelDirector->waveBusy, 0);
    // Where it died, with what it had.
    EXPECT_NEAR(craft.particle->position.distanceTo(diedAt), 0, 5);
    EXPECT_EQ(craft.bombs, 2);
    EXPECT_EQ(craft.weaponLevel, 3);

    // Three seconds of that shield, then it is gone.
    stepFrames(29, longFrame);
    EXPECT_EQ(craft.shieldOn, 1);
    stepFrames(2, longFrame);
    EXPECT_EQ(craft.shieldOn, 0);
}

TEST_F(LifeLostTest, TheCraftNeitherFiresNorCountsItsShieldDuringTheCountdown) {
    startPlaying();
    game->player->controlMode = ControlMode::KeysAndMouse;
    loseALife();
    const size_t shotsBefore = game->shots.size();
    game->player->shieldTime = 2.0f;
    moveMouse(700, 300);
    mouseButton(1, true);
    stepFrames(10);
    mouseButton(1, false);
    EXPECT_EQ(game->shots.size(), shotsBefore);
    EXPECT_EQ(game->player->shieldTime, 2.0f);
    EXPECT_EQ(game->state, GameState::LifeLost);
}

TEST_F(LifeLostTest, TheLastLifeEndsTheRunWithTheFieldClearedAndNoKeyLeftOver) {
    startPlaying();
    game->player->lives = 1;
    loseALife();
    EXPECT_EQ(game->player->lives, 0);
    tapKey(Key::Enter); // pressed during the countdown: it must not leave the game-over screen
    stepFrames(countdownFramesButOne + 1, longFrame);
    ASSERT_EQ(game->state, GameState::GameOver);
    EXPECT_TRUE(game->enemies.empty()); // no new ones either: the patterns rest outside play
    EXPECT_EQ(game->player->stats.entryStep, 1);
    EXPECT_EQ(game->player->shape->visible, 0);
    stepFrames(5);
    EXPECT_EQ(game->state, GameState::GameOver);
}

class GameOverTest : public StatesTest {
protected:
    // The run ends with this score, straight from play.
    void endRunWith(int score) {
        startPlaying();
        game->player->stats.score = score;
        game->enterGameOver();
        stepFrames(1);
        ASSERT_EQ(game->state, GameState::GameOver);
    }
    // Types the text and Enter, one character a frame as a quick typist would.
    void typeLine(const std::string& text) {
        for (char c : text) {
            typeText(std::string(1, c));
            stepFrames(1);
        }
        tapKey(Key::Enter);
        stepFrames(1);
    }
    bool tableHasName(const std::string& name) const {
        const auto& entries = game->hiscores->entries;
        return std::any_of(entries.begin(), entries.end(),
                           [&](auto& record) { return record->name == name; });
    }
    void expectBackOnTheHiscoreTable() {
        EXPECT_EQ(game->state, GameState::Title);
        EXPECT_EQ(game->titlePhase, TitlePhase::Hiscores);
        EXPECT_FLOAT_EQ(game->phaseTime, 10.0f);
        EXPECT_EQ(game->player->stats.score, 0); // the run has been reset
    }
};

TEST_F(GameOverTest, AScoreEqualToTheLowestEntryIsNotAskedForANameAndEnterLeaves) {
    endRunWith(game->hiscores->lowest->score);
    game->titlePhase = TitlePhase::Logo;
    game->phaseTime = 3.0f;
    typeLine("loweq");
    expectBackOnTheHiscoreTable();
    EXPECT_FALSE(tableHasName("LOWEQ"));
}

TEST_F(GameOverTest, OnePointAboveTheLowestAsksForTheNameOnlyAndSavesTheEntryAtOnce) {
    const int lowest = game->hiscores->lowest->score;
    endRunWith(lowest + 1);
    typeLine("topten");
    // The Enter that completed the name also left the screen, in the same frame, without a brag prompt.
    expectBackOnTheHiscoreTable();
    ASSERT_TRUE(tableHasName("TOPTEN"));
    EXPECT_EQ(game->hiscores->lowest->score, lowest + 1);
    EXPECT_EQ(game->hiscores->lowest->brag, "");
    // Written before anything else can happen to the program.
    const std::string saved = readWholeTextFile("config.ini");
    EXPECT_NE(saved.find("TOPTEN\n"), std::string::npos) << saved;
}

TEST_F(GameOverTest, ANewBestAsksForTheNameAndThenTheBrag) {
    endRunWith(game->hiscores->best->score + 1);
    typeLine("zed");
    EXPECT_EQ(game->state, GameState::GameOver); // now the brag text
    typeLine("top gun");
    expectBackOnTheHiscoreTable();
    EXPECT_EQ(game->hiscores->best->name, "ZED");
    EXPECT_EQ(game->hiscores->best->brag, "TOP GUN");
}

TEST_F(GameOverTest, ANameTypedFasterThanTheFramesIsEnteredWhole) {
    // Letters and Enter all arrive before the next frame: the entry takes one character a frame, and the
    // Enter behind them must not leave the screen before they are in.
    endRunWith(game->hiscores->lowest->score + 1);
    typeText("quick");
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::GameOver);
    stepFrames(5);
    expectBackOnTheHiscoreTable();
    EXPECT_TRUE(tableHasName("QUICK"));
}

TEST_F(GameOverTest, TheJoypadSelectLeavesARunOutsideTheTable) {
    TVirtualPad pad;
    ASSERT_TRUE(pad.attached());
    mapPadButtons();
    endRunWith(0);
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::GameOver);
    pressPadButton(pad, game->joypad->mapping.selectButton);
    expectBackOnTheHiscoreTable();
}

} // namespace
