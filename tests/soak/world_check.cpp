#include "soak/world_check.h"

#include "app/game.h"
#include "enemies/dasher.h"
#include "enemies/enemy.h"
#include "play/arena_border.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/scroll.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "play/spark.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <unordered_set>

namespace {

// Float sums of many small frame times drift a little; a real leak overstays by whole seconds.
constexpr float lifetimeSlack = 0.01f;

bool finite(const TVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

bool finite(const TParticle& p) {
    return finite(p.position) && finite(p.previousPosition) && finite(p.velocity) && finite(p.acceleration);
}

std::string describe(const char* what, const TParticle& p) {
    std::ostringstream text;
    text << what << " is not finite: position " << p.position.x << "," << p.position.y << " velocity "
         << p.velocity.x << "," << p.velocity.y << " acceleration " << p.acceleration.x << ","
         << p.acceleration.y;
    return text.str();
}

template <class T, class Particle>
std::string firstNonFinite(TWorldList<T>& list, const char* what, Particle particleOf) {
    std::string found;
    list.forEach([&](T& entry) {
        const TParticle* p = particleOf(entry);
        if (found.empty() && p && !finite(*p)) found = describe(what, *p);
    });
    return found;
}

} // namespace

void TListPeaks::merge(const TListPeaks& other) {
    particles = std::max(particles, other.particles);
    shots = std::max(shots, other.shots);
    sparks = std::max(sparks, other.sparks);
    enemies = std::max(enemies, other.enemies);
    shockwaves = std::max(shockwaves, other.shockwaves);
    popups = std::max(popups, other.popups);
}

std::string TWorldCheck::afterFrame(TGame& game, float frameSeconds) {
    gameTime += frameSeconds;
    for (const auto& check : {&TWorldCheck::checkFinite, &TWorldCheck::checkOwnership})
        if (std::string broken = (this->*check)(game); !broken.empty()) return broken;
    if (std::string broken = checkLifetimes(game); !broken.empty()) return broken;
    return checkCaps(game);
}

void TWorldCheck::forget() {
    born.clear();
}

std::string TWorldCheck::checkFinite(TGame& game) const {
    if (!finite(*game.player->particle)) return describe("the craft", *game.player->particle);
    if (!finite(*game.border->particle)) return describe("the arena border", *game.border->particle);
    if (!finite(worldScrollOffset())) return "the scroll offset is not finite";
    for (const auto& column : game.grid->points)
        for (const TParticle& point : column)
            if (!finite(point)) return describe("a grid point", point);

    const auto itself = [](TParticle& p) { return &p; };
    const auto ownParticle = [](auto& owner) { return owner.particle.get(); };
    std::string broken = firstNonFinite(game.particles, "a world particle", itself);
    if (broken.empty()) broken = firstNonFinite(game.enemies, "an enemy", ownParticle);
    if (broken.empty()) broken = firstNonFinite(game.shots, "a shot", ownParticle);
    if (broken.empty())
        broken = firstNonFinite(game.sparks, "a spark", [](TSpark& spark) { return &spark.particle; });
    if (broken.empty()) broken = firstNonFinite(game.shockwaves, "a shockwave centre", ownParticle);
    if (!broken.empty()) return broken;

    game.enemies.forEach([&](TEnemy& enemy) {
        const auto* dasher = dynamic_cast<const TDasher*>(&enemy);
        if (broken.empty() && dasher && dasher->shield && !finite(*dasher->shield->particle))
            broken = describe("a dasher's shield", *dasher->shield->particle);
    });
    game.shockwaves.forEach([&](TShockwave& wave) {
        if (broken.empty() && !(std::isfinite(wave.radius) && std::isfinite(wave.alpha)))
            broken = "a shockwave's radius or opacity is not finite";
    });
    game.popups.forEach([&](TPopupText& popup) {
        if (broken.empty() &&
            !(std::isfinite(popup.x) && std::isfinite(popup.y) && std::isfinite(popup.scale)))
            broken = "a score text's position or scale is not finite";
    });
    return broken;
}

std::string TWorldCheck::checkOwnership(TGame& game) const {
    std::unordered_set<const TParticle*> listed;
    std::string broken;
    game.particles.forEach([&](TParticle& p) {
        if (!listed.insert(&p).second && broken.empty()) broken = "a particle is in the particles list twice";
    });
    if (!broken.empty()) return broken;

    std::unordered_set<const TParticle*> owned;
    const auto own = [&](const TParticle* p, const char* owner) {
        if (!p) {
            if (broken.empty()) broken = std::string(owner) + " has no particle";
            return;
        }
        if (!owned.insert(p).second && broken.empty()) broken = std::string(owner) + " shares its particle";
        if (!listed.count(p) && broken.empty())
            broken = std::string(owner) + "'s particle is missing from the particles list";
    };
    own(game.player->particle.get(), "the craft");
    own(game.border->particle.get(), "the arena border");
    game.shots.forEach([&](TShot& shot) { own(shot.particle.get(), "a shot"); });
    game.sparks.forEach([&](TSpark& spark) { own(&spark.particle, "a spark"); });
    std::unordered_set<const TEnemy*> enemies;
    game.enemies.forEach([&](TEnemy& enemy) {
        if (!enemies.insert(&enemy).second && broken.empty())
            broken = "an enemy is in the enemies list twice";
        if (enemy.kind() == EnemyKind::DasherShield) {
            // The shield rides on its dasher: its particle must never be integrated on its own.
            if (enemy.particle && listed.count(enemy.particle.get()) && broken.empty())
                broken = "a dasher's shield has its particle in the particles list";
            return;
        }
        std::ostringstream owner;
        owner << "an enemy of kind " << kindCode(enemy.kind()) << " in state " << stateCode(enemy.state);
        own(enemy.particle.get(), owner.str().c_str());
    });
    if (!broken.empty()) return broken;
    if (owned.size() != listed.size()) {
        std::ostringstream text;
        text << listed.size() - owned.size()
             << " particle(s) in the particles list belong to no craft, border, shot, spark or enemy";
        return text.str();
    }
    return {};
}

std::string TWorldCheck::checkLifetimes(TGame& game) {
    std::unordered_set<const void*> present;
    std::string broken;
    const auto age = [&](const void* key, std::weak_ptr<const void> identity, float scale) {
        present.insert(key);
        auto found = born.find(key);
        const bool reused =
            found != born.end() && (found->second.identity.expired() || scale > found->second.lastScale);
        if (found == born.end() || reused) {
            born[key] = TBirth{std::move(identity), gameTime, scale};
            return 0.0f;
        }
        found->second.lastScale = scale;
        return gameTime - found->second.time;
    };
    const auto limit = [&](float stayed, float allowed, const char* what) {
        if (stayed <= allowed + lifetimeSlack || !broken.empty()) return;
        std::ostringstream text;
        text << what << " is still in its list after " << stayed << " s of game time (at most " << allowed
             << " s)";
        broken = text.str();
    };
    // Particles are made with make_shared, so while their weak reference lives their address is not
    // reused: they identify the shot, spark or shockwave they belong to.
    game.shots.forEach([&](TShot& shot) {
        limit(age(shot.particle.get(), shot.particle, 0), SoakLifetime::Shot, "a shot");
    });
    game.sparks.forEach([&](TSpark& spark) {
        limit(age(&spark.particle, game.sparks.handleOf(&spark), 0), SoakLifetime::Spark, "a spark");
    });
    game.shockwaves.forEach([&](TShockwave& wave) {
        limit(age(wave.particle.get(), wave.particle, 0), SoakLifetime::Shockwave, "a shockwave");
    });
    // A score text has no particle; a new one at an old address starts larger than the old one ended.
    static const auto forever = std::make_shared<int>(0);
    game.popups.forEach([&](TPopupText& popup) {
        limit(age(&popup, forever, popup.scale), SoakLifetime::Popup, "a score text");
    });
    std::erase_if(born, [&](const auto& entry) { return !present.count(entry.first); });
    return broken;
}

std::string TWorldCheck::checkCaps(TGame& game) {
    const TListPeaks now{game.particles.size(), game.shots.size(),      game.sparks.size(),
                         game.enemies.size(),   game.shockwaves.size(), game.popups.size()};
    peaks.merge(now);
    std::ostringstream text;
    if (now.shots > SoakCap::Shots) text << now.shots << " shots (cap " << SoakCap::Shots << ")";
    if (now.sparks > SoakCap::Sparks) text << now.sparks << " sparks (cap " << SoakCap::Sparks << ")";
    if (now.enemies > SoakCap::Enemies) text << now.enemies << " enemies (cap " << SoakCap::Enemies << ")";
    if (now.shockwaves > SoakCap::Shockwaves)
        text << now.shockwaves << " shockwaves (cap " << SoakCap::Shockwaves << ")";
    if (now.popups > SoakCap::Popups) text << now.popups << " score texts (cap " << SoakCap::Popups << ")";
    return text.str();
}
