#include "enemies/dodger.h"
#include "enemies/enemy_kinds_kit.h"
#include "input/joypad.h"
#include "play/shot.h"

namespace {

class Dodger : public EnemyKindTest {
protected:
    void SetUp() override {
        EnemyKindTest::SetUp();
        game->joypad = std::make_shared<TJoypad>();
        dodger = TDodger::create(400, 200); // 100 straight above the craft
        dodger->state = EnemyState::Active;
        TShot::create(TVector{430, 200}, TVector{0, 0});    // 30 to the right: pushes left
        TShot::create(TVector{400, 100.5f}, TVector{0, 0}); // 99.5 above: pushes down
        TShot::create(TVector{500.5f, 200}, TVector{0, 0}); // 100.5 to the right: too far
    }

    // The acceleration of one update less the homing it always has.
    TVector dodgeWithFireStick(float x, float y) {
        game->joypad->fire.set(x, y);
        dodger->particle->acceleration.set(0, 0);
        runOnce(*dodger, 0.016f);
        return dodger->particle->acceleration.subtract(homing(*dodger, 900));
    }

    std::shared_ptr<TDodger> dodger;
};

TEST_F(Dodger, DodgesEveryShotWithinOneHundredWhileTheStickIsReleasedOrAimedAtItsSide) {
    for (const TVector stick : {TVector{0, 0}, TVector{0.9f, -0.2f}}) {
        const TVector dodge = dodgeWithFireStick(stick.x, stick.y);
        EXPECT_NEAR(dodge.x, -12000, 1e-2) << stick.toString();
        EXPECT_NEAR(dodge.y, 12000, 1e-2) << stick.toString();
    }
    game->joypad = std::make_shared<TJoypad>(); // a reader that has read no pad yet: a zero stick
    dodger->particle->acceleration.set(0, 0);
    runOnce(*dodger, 0.016f);
    EXPECT_NEAR(dodger->particle->acceleration.subtract(homing(*dodger, 900)).x, -12000, 1e-2);
}

TEST_F(Dodger, IgnoresShotsWhileTheFireStickPointsAwayFromItsSide) {
    // Down past the craft, and square across: neither points at the dodger's side.
    for (const TVector stick : {TVector{0.3f, 0.8f}, TVector{-1, 0}})
        EXPECT_NEAR(dodgeWithFireStick(stick.x, stick.y).length(), 0, 1e-2) << stick.toString();
}

} // namespace
