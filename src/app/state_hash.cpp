// Hashing the game's state, part by part. Floats are hashed by their bits: a replay must agree to the
// last bit, and a value that is merely close has already left the recorded path.
//
// Left out on purpose: the sound bank's channel cursors. Which effects channel is idle depends on how far
// the audio thread has mixed, which is real time, not game time; the channel choice changes what is
// heard and never what happens in the arena, so it would only make every replay look diverged.
#include "app/state_hash.h"

#include "app/game.h"
#include "app/ui/menu.h"
#include "enemies/dasher.h"
#include "enemies/enemy.h"
#include "enemies/gravity_well.h"
#include "enemies/level_director.h"
#include "enemies/snake.h"
#include "enemies/spawn_pattern.h"
#include "input/joypad.h"
#include "platform/random.h"
#include "play/backdrop.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "play/spark.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

#include <cstring>
#include <type_traits>

namespace {

// FNV-1a over the bytes of each value, in the order they are fed.
class THasher {
public:
    THasher& operator<<(int value) { return bytes(&value, sizeof value); }
    // Counts as eight bytes whatever size_t is, so that a 32-bit build (the browser's) hashes what a
    // 64-bit one does and can play the same recordings.
    THasher& operator<<(size_t value) {
        const uint64_t wide = value;
        return bytes(&wide, sizeof wide);
    }
    // The float's bits; copied rather than bit_cast, which not every C++ library has yet (the browser's).
    THasher& operator<<(float value) {
        int bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return *this << bits;
    }
    THasher& operator<<(bool value) { return *this << (value ? 1 : 0); }
    // A named state counts as the number it stands for.
    template <class Enum>
    requires std::is_enum_v<Enum> THasher& operator<<(Enum value) { return *this << static_cast<int>(value); }
    THasher& operator<<(const std::string& text) {
        return *this << text.size(), bytes(text.data(), text.size());
    }
    THasher& operator<<(const TVector& v) { return *this << v.x << v.y; }
    THasher& operator<<(const TParticle& p) {
        return *this << p.position << p.previousPosition << p.acceleration << p.velocity << p.maxSpeed
                     << p.damping << p.keepsMargin;
    }
    THasher& operator<<(const TScoreRecord& r) {
        *this << r.name << r.brag << r.score << r.shotsFired << r.shotsHit << r.entryStep << r.nameInput
              << r.bragInput;
        for (int kills : r.kills)
            *this << kills;
        return *this;
    }

    uint64_t value() const { return hash; }

private:
    THasher& bytes(const void* data, size_t size) {
        const auto* byte = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ byte[i]) * 0x100000001b3ull;
        return *this;
    }

    uint64_t hash = 0xcbf29ce484222325ull;
};

uint64_t hashShell(const TGame& g) {
    THasher h;
    h << g.state << g.titlePhase << g.phaseTime << g.deathTime << g.snakeLimit << g.snakeCount << g.logoAlpha
      << g.logoScale << g.burstToggle << g.burstPoint << g.lastFrameTime << g.musicVolume;
    h << g.mainMenu->selected << g.configMenu->selected;
    return h.value();
}

uint64_t hashPlayer(const TPlayer& p) {
    THasher h;
    h << p.controlMode << p.stats << p.lives << p.bombs << p.multiplier << p.kills << p.weaponMark
      << p.bombMark << p.lifeMark << *p.particle << p.fireDelay << p.weaponLevel << (p.activeBomb != nullptr)
      << p.shieldOn << p.shieldTime << p.blinkTime;
    return h.value();
}

uint64_t hashEnemies(TGame& g) {
    THasher h;
    h << g.enemies.size();
    g.enemies.forEach([&h](TEnemy& e) {
        // A few kinds' own fields were once every enemy's, and hashed as such: their bytes stay where they
        // were, zero for the kinds without them, so that recorded runs still verify.
        const auto* well = dynamic_cast<const TGravityWell*>(&e);
        const auto* snake = dynamic_cast<const TSnake*>(&e);
        const auto* dasher = dynamic_cast<const TDasher*>(&e);
        h << kindCode(e.kind()) << stateCode(e.state) << *e.particle << e.radius << e.points << e.skipFrame
          << e.entryTime << e.entryScale << e.timer << e.turn << e.blinkTime << e.dyingTime
          << (well ? well->hitPoints : 0) << (snake && snake->isHead) << e.killedPlayer
          << (well ? well->pulseSpeed : 0.0f) << (dasher && dasher->shield != nullptr);
    });
    return h.value();
}

uint64_t hashParticles(TGame& g) {
    THasher h;
    h << g.particles.size();
    g.particles.forEach([&h](TParticle& p) { h << p; });
    return h.value();
}

uint64_t hashShots(TGame& g) {
    THasher h;
    h << g.shots.size();
    g.shots.forEach([&h](TShot& s) { h << s.life << *s.particle; });
    return h.value();
}

uint64_t hashSparks(TGame& g) {
    THasher h;
    h << g.sparks.size();
    g.sparks.forEach([&h](TSpark& s) {
        h << s.life << s.alpha << s.fadeRate << s.red << s.green << s.blue << s.particle;
    });
    return h.value();
}

uint64_t hashWavesAndTexts(TGame& g) {
    THasher h;
    h << g.shockwaves.size() << g.popups.size();
    g.shockwaves.forEach(
        [&h](TShockwave& w) { h << w.radius << w.maxRadius << w.destroysEnemies << w.alpha << *w.particle; });
    g.popups.forEach([&h](TPopupText& p) { h << p.scale << p.text << p.x << p.y; });
    return h.value();
}

uint64_t hashGrid(const TGrid& grid) {
    THasher h;
    h << grid.enabled << grid.fade;
    for (const auto& column : grid.points)
        for (const TParticle& point : column)
            h << point;
    return h.value();
}

uint64_t hashLevel(const TLevelDirector& director) {
    THasher h;
    h << director.level << director.levelTime << director.waveBusy;
    for (const auto& pattern : director.patterns) {
        h << pattern->phase << pattern->waitTime << pattern->stepTime << pattern->choice
          << pattern->group.size() << pattern->remaining << pattern->groupLimit << pattern->spawnPoint;
    }
    return h.value();
}

uint64_t hashBackdrop(const TBackdrop& backdrop) {
    THasher h;
    h << backdrop.scroll;
    for (const TStar& star : backdrop.stars)
        h << star.x << star.y << star.depth;
    return h.value();
}

uint64_t hashJoypad(const TJoypad& pad) {
    const TJoypadMapping& m = pad.mapping;
    THasher h;
    h << pad.move << pad.fire << pad.bomb << pad.pause << pad.select << pad.back << pad.pausePrevious
      << pad.selectPrevious << pad.backPrevious << pad.stickPushed << pad.mode << pad.step << pad.pauseTimer
      << pad.waiting << m.moveXAxis << m.moveYAxis << m.fireXAxis << m.fireYAxis << m.bombButton
      << m.pauseButton << m.selectButton << m.backButton;
    return h.value();
}

uint64_t hashHiscores(const THiscoreTable& table) {
    THasher h;
    for (const auto& entry : table.entries)
        h << *entry;
    return h.value();
}

uint64_t hashRandom() {
    THasher h;
    h << static_cast<int>(randomState());
    return h.value();
}

} // namespace

std::vector<TStateHash> hashGameState(TGame& g) {
    return {
        {"shell", hashShell(g)},
        {"random", hashRandom()},
        {"player", hashPlayer(*g.player)},
        {"enemies", hashEnemies(g)},
        {"particles", hashParticles(g)},
        {"shots", hashShots(g)},
        {"sparks", hashSparks(g)},
        {"waves", hashWavesAndTexts(g)},
        {"grid", hashGrid(*g.grid)},
        {"level", hashLevel(*g.levelDirector)},
        {"backdrop", hashBackdrop(*g.backdrop)},
        {"joypad", hashJoypad(*g.joypad)},
        {"hiscores", hashHiscores(*g.hiscores)},
    };
}

std::vector<TStateHash> hashCurrentGame() {
    if (!game) return {};
    return hashGameState(*game);
}
