#include "soak/soak_coverage.h"

#include "app/game.h"
#include "enemies/enemy.h"
#include "enemies/level_director.h"
#include "enemies/spawn_patterns.h"
#include "play/particle.h"
#include "play/player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* kindNames[SoakKindCount] = {"wanderer", "chaser",       "dodger",       "splitter",
                                                  "splinter", "gravity well", "well child",   "snake",
                                                  "swarmer",  "dasher",       "dasher shield"};
constexpr const char* patternNames[SoakPatternCount] = {
    "trickle",  "dodger pair", "well",       "dodger wave", "chaser wave", "ring",
    "fortress", "stream",      "snake wave", "swarm",       "dasher"};

// The ring stands 400 from the craft; its points are worked out in floats, so allow a little.
constexpr float ringRadius = 400;
constexpr float ringSlack = 0.5f;

int kindIndex(EnemyKind kind) {
    const int code = kindCode(kind);
    if (code >= 0 && code <= kindCode(EnemyKind::Dasher)) return code;
    return kind == EnemyKind::DasherShield ? SoakKindCount - 1 : -1;
}

// How a pattern's spawns are recognised.
enum class TSpawnSign { Group, CornerWave, Ring, Unknown };

TSpawnSign signOf(const TSpawnPattern& pattern) {
    if (dynamic_cast<const TDodgerWavePattern*>(&pattern) ||
        dynamic_cast<const TChaserWavePattern*>(&pattern) ||
        dynamic_cast<const TSnakeWavePattern*>(&pattern) || dynamic_cast<const TSwarmPattern*>(&pattern))
        return TSpawnSign::CornerWave;
    if (dynamic_cast<const TRingPattern*>(&pattern)) return TSpawnSign::Ring;
    if (dynamic_cast<const TTricklePattern*>(&pattern) || dynamic_cast<const TDodgerPattern*>(&pattern) ||
        dynamic_cast<const TWellPattern*>(&pattern) || dynamic_cast<const TFortressPattern*>(&pattern) ||
        dynamic_cast<const TStreamPattern*>(&pattern) || dynamic_cast<const TDasherPattern*>(&pattern))
        return TSpawnSign::Group;
    return TSpawnSign::Unknown;
}

// The kind a corner wave sends, and whether it comes from the inner corners.
struct TCornerWave {
    EnemyKind kind;
    bool inner;
};

TCornerWave cornerWaveOf(const TSpawnPattern& pattern) {
    if (dynamic_cast<const TDodgerWavePattern*>(&pattern)) return {EnemyKind::Dodger, false};
    if (dynamic_cast<const TChaserWavePattern*>(&pattern)) return {EnemyKind::Chaser, false};
    if (dynamic_cast<const TSnakeWavePattern*>(&pattern)) return {EnemyKind::Snake, true};
    return {EnemyKind::Swarmer, false};
}

EnemyKind ringKind(int choice) {
    switch (choice) {
    case 1:
        return EnemyKind::Chaser;
    case 2:
        return EnemyKind::Dodger;
    case 3:
        return EnemyKind::Splitter;
    default:
        return EnemyKind::Snake;
    }
}

// A snake is made head first and its tail after; only the head is what a pattern asked for.
bool isWhatWasAsked(const TEnemy& enemy, EnemyKind kind) {
    return enemy.kind() == kind && (kind != EnemyKind::Snake || !enemy.isTailSegment());
}

bool onCorner(const TEnemy& enemy, bool inner) {
    for (int i = 0; i < TSpawnPattern::CornerCount; ++i) {
        const TVector at = inner ? TSpawnPattern::innerCorner(i) : TSpawnPattern::corner(i);
        if (enemy.particle->position.x == at.x && enemy.particle->position.y == at.y) return true;
    }
    return false;
}

bool onRing(const TEnemy& enemy, const TVector& craft) {
    return std::fabs(enemy.particle->position.distanceTo(craft) - ringRadius) < ringSlack;
}

} // namespace

const char* soakKindName(int index) {
    return index >= 0 && index < SoakKindCount ? kindNames[index] : "?";
}

const char* soakPatternName(int index) {
    return index >= 0 && index < SoakPatternCount ? patternNames[index] : "?";
}

void TSoakCoverage::beforeFrame(TGame& game) {
    previous.clear();
    game.enemies.forEach([&](TEnemy& enemy) { previous.push_back(enemy.shared_from_this()); });
    std::sort(previous.begin(), previous.end());
    const auto& patterns = game.levelDirector->patterns;
    for (size_t i = 0; i < patterns.size() && i < patternsBefore.size(); ++i)
        patternsBefore[i] = {patterns[i]->phase, patterns[i]->remaining};
    haveBefore = true;
}

void TSoakCoverage::afterFrame(TGame& game) {
    if (!haveBefore) return;
    haveBefore = false;

    std::vector<TEnemy*> fresh;
    game.enemies.forEach([&](TEnemy& enemy) {
        const auto held = enemy.shared_from_this();
        if (!std::binary_search(previous.begin(), previous.end(), held)) fresh.push_back(&enemy);
    });
    previous.clear();
    for (const TEnemy* enemy : fresh)
        if (const int index = kindIndex(enemy->kind()); index >= 0) ++kindSpawns[static_cast<size_t>(index)];

    const TLevelDirector& director = *game.levelDirector;
    levelMax = std::max(levelMax, std::min(director.level, 20));
    // The director steps up to 21 only in the update that ends level 20, and only a new run sets it back.
    if (director.level > 20) finishedLevel20 = true;
    if (fresh.empty()) return;

    const TVector craft = game.player->particle->position;
    const auto isFresh = [&](const TEnemy* enemy) {
        return std::find(fresh.begin(), fresh.end(), enemy) != fresh.end();
    };
    const auto anyFresh = [&](auto&& test) { return std::any_of(fresh.begin(), fresh.end(), test); };
    for (size_t i = 0; i < director.patterns.size() && i < patternsBefore.size(); ++i) {
        const TSpawnPattern& pattern = *director.patterns[i];
        const TPatternBefore& before = patternsBefore[i];
        bool spawned = false;
        switch (signOf(pattern)) {
        case TSpawnSign::Group:
            spawned =
                std::any_of(pattern.group.begin(), pattern.group.end(),
                            [&](const std::shared_ptr<TEnemy>& member) { return isFresh(member.get()); });
            break;
        case TSpawnSign::CornerWave: {
            const TCornerWave wave = cornerWaveOf(pattern);
            const bool released = before.phase == 1 && pattern.remaining < before.remaining;
            spawned = released && anyFresh([&](const TEnemy* enemy) {
                          return isWhatWasAsked(*enemy, wave.kind) && onCorner(*enemy, wave.inner);
                      });
            break;
        }
        case TSpawnSign::Ring: {
            const bool closed = before.phase == 1 && pattern.phase == 0;
            const EnemyKind kind = ringKind(pattern.choice);
            spawned = closed && anyFresh([&](const TEnemy* enemy) {
                          return isWhatWasAsked(*enemy, kind) && onRing(*enemy, craft);
                      });
            break;
        }
        case TSpawnSign::Unknown:
            break;
        }
        if (spawned) ++patternSpawns[i];
    }
}

void TSoakCoverage::forget() {
    previous.clear();
    haveBefore = false;
}

void TSoakCoverage::merge(const TSoakCoverage& other) {
    for (size_t i = 0; i < kindSpawns.size(); ++i)
        kindSpawns[i] += other.kindSpawns[i];
    for (size_t i = 0; i < patternSpawns.size(); ++i)
        patternSpawns[i] += other.patternSpawns[i];
    levelMax = std::max(levelMax, other.levelMax);
    finishedLevel20 = finishedLevel20 || other.finishedLevel20;
}

int TSoakCoverage::kindsSeen() const {
    return static_cast<int>(std::count_if(kindSpawns.begin(), kindSpawns.end(), [](int n) { return n > 0; }));
}

int TSoakCoverage::patternsSeen() const {
    return static_cast<int>(
        std::count_if(patternSpawns.begin(), patternSpawns.end(), [](int n) { return n > 0; }));
}

std::string TSoakCoverage::missing() const {
    std::string names;
    const auto add = [&](const char* what, const char* name) {
        names += names.empty() ? "" : ", ";
        names += what;
        names += name;
    };
    for (int i = 0; i < SoakKindCount; ++i)
        if (kindSpawns[static_cast<size_t>(i)] == 0) add("kind ", soakKindName(i));
    for (int i = 0; i < SoakPatternCount; ++i)
        if (patternSpawns[static_cast<size_t>(i)] == 0) add("pattern ", soakPatternName(i));
    return names;
}
