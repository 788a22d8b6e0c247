// The game object: start-up (`create`) and the world update and draw passes that every playing and
// front-end state shares. The frame's state dispatch, the state steps and the run start are in states.cpp.
//
// Sections: start-up · world passes.
#include "app/game.h"

#include "app/ui/front_end.h"
#include "audio/sound_bank.h"
#include "enemies/enemy.h"
#include "enemies/level_director.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "play/arena_border.h"
#include "play/backdrop.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "play/spark.h"
#include "scores/hiscore_table.h"
#include "shapes/shape.h"

const char* const versionText = "V0.63";
const char* const productTitle = "Kelvanor ";

TGame* game = nullptr;

// --- Start-up ------------------------------------------------------------------------------------------

namespace {

constexpr int DefaultFlags = -1; // the display's default picture flags
// The strips: four glow pictures of 64 x 64 and ten enemy icons of 32 x 32.
constexpr int GlowCell = 64, GlowCells = 4, IconCell = 32, IconCells = 10;

void loadPictures(TGame& g) {
    g.glowImage = loadPictureStrip("incbin::glowing.png", GlowCell, GlowCell, 0, GlowCells, DefaultFlags);
    g.bombIcon = loadPicture("incbin::bomb_logo.png", DefaultFlags);
    g.lifeIcon = loadPicture("incbin::player_logo2.png", DefaultFlags);
    g.titleLogo = loadPicture("incbin::logo.png", DefaultFlags);
    centrePictureHandle(g.titleLogo);
    g.enemyIcons = loadPictureStrip("incbin::enemyicons.png", IconCell, IconCell, 0, IconCells, DefaultFlags);
}

void loadShapes(TGame& g) {
    g.playerShape = TShape::create("incbin::player_small.xml");
    g.shieldShape = TShape::create("incbin::player_shield.xml");
    g.shotShape = TShape::create("incbin::bullet.xml");
    g.borderShape = TShape::create("incbin::border.xml");
    g.enemyShapes = loadEnemyShapes();
}

// Decoding both tracks would hold up the title screen for over half a second, so they decode in the
// background, the title track first: the start of the title music waits only for that one, and a run
// that starts before the play track is whole waits for it.
void loadMusic(TGame& g) {
    g.titleChannel = allocateChannel();
    g.playChannel = allocateChannel();
    g.titleMusic = loadSoundClipInBackground("incbin::music_title.ogg", 1);
    g.playMusic = loadSoundClipInBackground("incbin::music_play.ogg", 1);
}

} // namespace

// Called once per process by the entry routine; tests call it again for a fresh game each.
TGame* TGame::create() {
    auto* g = new TGame; // the six world lists start empty
    loadPictures(*g);
    loadShapes(*g);
    setShapeGlowPicture(g->glowImage);
    // Additive is the standing mode: any routine that switches away switches back before returning.
    setBlendMode(BlendAdditive);
    buildMenus(*g);
    loadMusic(*g);
    g->sounds = TSoundBank::create();
    g->hiscores = THiscoreTable::create();
    g->grid = TGrid::create();
    g->levelDirector = TLevelDirector::create();
    g->joypad = TJoypad::create();
    g->player = TPlayer::create(g->playerShape);
    g->particles.add(g->player->particle);
    g->backdrop = TBackdrop::create(100);
    g->border = TArenaBorder::create(g->borderShape);
    g->particles.add(g->border->particle);
    // After everything the settings file writes into exists, before the music starts; the track is
    // heard at the saved volume from its first sample.
    g->loadSettings();
    startTrack(g->titleMusic, g->titleChannel, g->musicVolume);
    return g;
}

// --- World passes --------------------------------------------------------------------------------------

float TGame::arenaLeft() const {
    return border->particle->position.x - TArenaBorder::HalfWidth;
}
float TGame::arenaTop() const {
    return border->particle->position.y - TArenaBorder::HalfHeight;
}

const TVector& enemyPosition(const TEnemy& enemy) {
    return enemy.particle->position;
}
float enemyRadius(const TEnemy& enemy) {
    return enemy.radius;
}
int enemyKind(const TEnemy& enemy) {
    return kindCode(enemy.kind());
}
const TVector& sparkPosition(const TSpark& spark) {
    return spark.particle.position;
}

void TGame::updateWorld(float dt) {
    const float left = arenaLeft(), top = arenaTop();
    const float right = left + 2 * TArenaBorder::HalfWidth, bottom = top + 2 * TArenaBorder::HalfHeight;

    // A shot's hit stops enemies and breaks them up, and may add splinters, but moves none.
    if (useNearbyIndexes) enemiesNear.open(enemies, left, top);
    shots.forEach([&](TShot& shot) {
        shot.checkBounds(left, right, top, bottom);
        shot.update(dt);
    });
    enemiesNear.close();
    // These move by last frame's scroll: the backdrop computes this frame's only further down.
    particles.forEach([&](TParticle& particle) {
        particle.confine(left, right, top, bottom);
        particle.update(dt, false);
    });
    // Enemies pull, shove and add sparks but move none: sparks move only in the particles pass. The few
    // enemy moves of this pass (separation, snake segments, dasher shields) report to enemiesAround.
    if (useNearbyIndexes) {
        sparksNear.open(sparks, left, top);
        enemiesAround.open(enemies, left, top);
    }
    enemies.forEach([&](TEnemy& enemy) { enemy.update(dt); });
    enemiesAround.close();
    sparksNear.close();
    sparks.forEach([&](TSpark& spark) { spark.update(dt); });
    shockwaves.forEach([&](TShockwave& wave) { wave.update(dt); });
    popups.forEach([&](TPopupText& popup) { popup.update(dt); });
    levelDirector->update(dt);
    backdrop->update(dt);
    grid->update(dt);
    // The one poll per frame in the states that run the world.
    joypad->poll(player->joyPort);
}

bool TGame::gridShown() const {
    return state == GameState::Play || state == GameState::GameOver || state == GameState::LifeLost ||
           state == GameState::Pause;
}

void TGame::drawWorld() {
    backdrop->draw();
    beginGlowBatch();
    if (gridShown()) {
        setDrawOrigin(arenaLeft(), arenaTop());
        grid->draw();
    }
    shockwaves.forEach([](TShockwave& wave) { wave.draw(); });
    enemies.forEach([](TEnemy& enemy) { enemy.draw(); });
    shots.forEach([](TShot& shot) { shot.draw(); });
    setDrawOrigin(0, 0);
    sparks.forEach([](TSpark& spark) { spark.draw(); });
    setDrawAlpha(1.0f);
    popups.forEach([](TPopupText& popup) { popup.draw(); });
    border->draw();
    player->draw();
    endGlowBatch();
}
