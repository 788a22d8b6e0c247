#include "enemies/spawn_pattern.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/chaser.h"
#include "enemies/dodger.h"
#include "enemies/level_director.h"
#include "enemies/snake.h"
#include "enemies/splitter.h"
#include "platform/random.h"
#include "play/arena_border.h"
#include "play/particle.h"
#include "play/player.h"

#include <algorithm>

namespace {

// The spawn area reaches 6 past each side wall (the particle pass pushes such points back in) and stays 10
// inside the top and bottom walls.
constexpr float spawnHalfWidth = 518;
constexpr float spawnHalfHeight = 310;
// The corner groups come out this far either side of the middle.
constexpr float cornerHalfWidth = 462;

// A stream waits this long, and then looks again for survivors of the stream before this much sooner.
constexpr float streamWait = 11;
constexpr float survivorsRetry = 8;

// Inside a 1036 x 620 area some point is always 200 from the craft, and nearly every draw finds one. The
// cap only keeps a craft somewhere impossible (far outside the arena, say) from hanging the frame.
constexpr int spawnPointTries = 1000;

const TVector& arenaCentre() {
    return game->border->particle->position;
}

TVector offsetFromCentre(float dx, float dy) {
    const TVector& centre = arenaCentre();
    return TVector{centre.x + dx, centre.y + dy};
}

} // namespace

void TSpawnPattern::pickSpawnPoint(int minDistance) {
    const TVector& centre = arenaCentre();
    const TVector& craft = game->player->particle->position;
    TVector farthest;
    float farthestDistance = -1;
    for (int tries = 0; tries < spawnPointTries; ++tries) {
        // Two statements: the x draw must come before the y draw.
        const auto x = static_cast<float>(randomReal(centre.x - spawnHalfWidth, centre.x + spawnHalfWidth));
        const auto y = static_cast<float>(randomReal(centre.y - spawnHalfHeight, centre.y + spawnHalfHeight));
        spawnPoint.set(x, y);
        const float distance = spawnPoint.distanceTo(craft);
        if (distance >= static_cast<float>(minDistance)) return;
        if (distance > farthestDistance) {
            farthest = spawnPoint;
            farthestDistance = distance;
        }
    }
    spawnPoint = farthest;
}

int TSpawnPattern::groupCount() {
    std::erase_if(group,
                  [](const std::shared_ptr<TEnemy>& enemy) { return !game->enemies.contains(enemy.get()); });
    return static_cast<int>(group.size());
}

TVector TSpawnPattern::corner(int index) {
    return offsetFromCentre(index < 2 ? -cornerHalfWidth : cornerHalfWidth,
                            index % 2 == 0 ? -270.0f : 270.0f);
}

TVector TSpawnPattern::innerCorner(int index) {
    return offsetFromCentre(index < 2 ? -cornerHalfWidth : cornerHalfWidth,
                            index % 2 == 0 ? -200.0f : 200.0f);
}

bool TSpawnPattern::waitIsOver(float dt) {
    waitTime -= dt;
    return waitTime <= 0;
}

bool TSpawnPattern::startAfterWait(float dt, float wait) {
    if (!waitIsOver(dt)) return false;
    waitTime = wait;
    phase = 1;
    return true;
}

bool TSpawnPattern::stepIsDue(float dt, float interval) {
    stepTime -= dt;
    if (stepTime >= 0) return false;
    stepTime = interval;
    return true;
}

void TSpawnPattern::track(const std::shared_ptr<TEnemy>& enemy) {
    if (!enemy) return;
    // Patterns that never count their group would otherwise hold every enemy they ever made.
    groupCount();
    group.push_back(enemy);
}

bool TSpawnPattern::startLockedWave(float dt, float wait) {
    if (!waitIsOver(dt)) return false;
    waitTime = wait;
    if (!lockIsFree()) return false;
    takeLock();
    phase = 1;
    return true;
}

bool TSpawnPattern::endGroup(int released) {
    remaining -= released;
    if (remaining > 0) return false;
    phase = 0;
    releaseLock();
    return true;
}

void TSpawnPattern::startStream(float dt, int count) {
    if (!startAfterWait(dt, streamWait)) return;
    remaining = count;
    if (groupCount() == 0) return;
    phase = 0;
    waitTime = survivorsRetry;
}

std::shared_ptr<TEnemy> TSpawnPattern::createChoice(int choice, float x, float y) {
    switch (choice) {
    case 1:
        return TChaser::create(x, y);
    case 2:
        return TDodger::create(x, y);
    case 3:
        return TSplitter::create(x, y);
    default:
        return TSnake::create(x, y, 1, 0.01f, 1.0f, nullptr);
    }
}

const SoundClip& TSpawnPattern::choiceSound(int choice) {
    const TSoundBank& sounds = *game->sounds;
    switch (choice) {
    case 1:
        return sounds.entrySound1;
    case 2:
        return sounds.entrySound2;
    case 3:
        return sounds.entrySound3;
    default:
        return sounds.entrySound7;
    }
}

int TSpawnPattern::level() {
    return game->levelDirector->level;
}

bool TSpawnPattern::lockIsFree() {
    return game->levelDirector->waveBusy == 0;
}

void TSpawnPattern::takeLock() {
    game->levelDirector->waveBusy = 1;
}

void TSpawnPattern::releaseLock() {
    game->levelDirector->waveBusy = 0;
}
