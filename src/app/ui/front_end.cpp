// The front-end pages around the title: the logo, the version text, the configuration page with its
// joypad screens, the credits and the instructions, and the two menus they run.
//
// Sections: menus · shared pieces · configuration · credits and instructions.
#include "app/ui/front_end.h"

#include "app/entry.h"
#include "app/game.h"
#include "app/ui/caption.h"
#include "app/ui/menu.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "play/grid.h"
#include "play/player.h"
#include "play/spark.h"
#include "shapes/shape.h"

#include <array>

// --- Menus ---------------------------------------------------------------------------------------------

namespace {

// The option texts show with "<<" and ">>" which ways the value can still go.
void addPercentOptions(TMenu& menu, ConfigMenuEntry entry, const char* name) {
    const std::string label(name);
    const int index = menuIndex(entry);
    menu.addItem(label + ": 0% >>");
    menu.addOption(index, "<< " + label + ": 25% >>");
    menu.addOption(index, "<< " + label + ": 50% >>");
    menu.addOption(index, "<< " + label + ": 75% >>");
    menu.addOption(index, "<< " + label + ": 100%");
}

} // namespace

void buildMenus(TGame& g) {
    g.mainMenu = TMenu::create();
    for (const char* entry : {"START", "CONFIGURATION", "INSTRUCTIONS", "CREDITS", "HISCORES", "QUIT"})
        g.mainMenu->addItem(entry);

    g.configMenu = TMenu::create();
    TMenu& config = *g.configMenu;
    addPercentOptions(config, ConfigMenuEntry::MusicVolume, "MUSIC VOLUME");
    addPercentOptions(config, ConfigMenuEntry::EffectsVolume, "EFFECTS VOLUME");
    config.addItem("HIDE GRID >>");
    config.addOption(menuIndex(ConfigMenuEntry::Grid), "<< SHOW GRID");
    config.addItem("CONTROL: KEYS/MOUSE >>");
    config.addOption(menuIndex(ConfigMenuEntry::Control), "<< CONTROL: DUAL ANALOG JOYPAD");
    config.addItem("CONFIGURE JOYPAD");
    config.addItem("TEST JOYPAD");
    config.addItem("BACK");
    config.setOption(menuIndex(ConfigMenuEntry::MusicVolume), 4);
    config.setOption(menuIndex(ConfigMenuEntry::EffectsVolume), 4);
    config.setOption(menuIndex(ConfigMenuEntry::Grid), 0);
    config.setOption(menuIndex(ConfigMenuEntry::Control), 1);
}

void TGame::applyConfigOption() {
    const int option = configMenu->items[static_cast<size_t>(configMenu->selected)].current;
    switch (configMenu->selectedEntry<ConfigMenuEntry>()) {
    case ConfigMenuEntry::MusicVolume:
        // The play track always runs at a quarter of the title track's volume.
        musicVolume = static_cast<float>(option) * 0.25f;
        setChannelGain(titleChannel, musicVolume);
        setChannelGain(playChannel, musicVolume / 4);
        break;
    case ConfigMenuEntry::EffectsVolume:
        sounds->effectsVolume = static_cast<float>(option) * 0.25f;
        break;
    case ConfigMenuEntry::Grid:
        grid->enabled = option != 0;
        break;
    case ConfigMenuEntry::Control:
        player->controlMode = option;
        break;
    default:
        break;
    }
}

// --- Shared pieces -------------------------------------------------------------------------------------

bool TGame::backPressed() {
    // All three are read every time, so none of them is left counted for a later page.
    const bool padBack = joypad->backPressed();
    const bool escape = keyHitCount(Key::Escape) != 0;
    const bool enter = keyHitCount(Key::Enter) != 0;
    if (!padBack && !escape && !enter) return false;
    playMenuSound(0.8f);
    return true;
}

void TGame::drawLogo() {
    setBlendMode(BlendAlpha);
    setDrawOrigin(400, 250);
    // The zoom is per frame and never reset: the logo grows in once per program run and then stays.
    if (logoScale < 1.2f) logoScale += 0.005f;
    setDrawAlpha(logoAlpha);
    setDrawScale(logoScale, logoScale);
    drawPicture(titleLogo, 0, 0, 0);
    setBlendMode(BlendAdditive);
}

void TGame::fadeLogoIn() {
    if (logoAlpha < 1.0f) logoAlpha += 0.03f;
}

void TGame::fadeLogoOut() {
    if (logoAlpha > 0) logoAlpha -= 0.03f;
}

void TGame::frontEndBurst() {
    burstToggle = !burstToggle;
    if (burstToggle) return;
    const float x = static_cast<float>(randomReal(0, screenWidth()));
    const float y = static_cast<float>(randomReal(0, screenHeight()));
    burstPoint.set(x, y);
    burst(burstPoint,
          {.count = 30, .minSpeed = 200, .maxSpeed = static_cast<float>(randomInteger(500, 1600))});
}

void TGame::frontEndBackdrop(float dt, bool hideCraft) {
    if (hideCraft) player->shape->visible = false;
    frontEndBurst();
    updateWorld(dt);
    drawWorld();
    drawLogo();
}

constexpr float NoteSeconds = 4.0f;

void TGame::showNote(std::string text) {
    noteText = std::move(text);
    noteTime = NoteSeconds;
}

// At the top, over the logo and the arena alike; a settings file that could not be read is told on the
// title for as long as the session lasts, since nothing the player does there will be kept.
void TGame::drawNote(float dt) {
    if (noteTime > 0) {
        drawCaption(noteText, 8, CaptionStyle::Blue, {.white = true});
        noteTime -= dt;
    } else if (settingsUnreadable && state == GameState::Title) {
        drawCaption("SETTINGS COULD NOT BE READ AND WILL NOT BE SAVED", 8, CaptionStyle::Blue,
                    {.white = true});
    } else if (savedFilesAtRisk() && (state == GameState::Title || state == GameState::GameOver)) {
        drawCaption("THE BROWSER IS NOT STORING THE SETTINGS", 8, CaptionStyle::Blue, {.white = true});
    }
}

void TGame::drawVersionText() {
    selectFont(nullptr);
    setDrawOrigin(0, 0);
    setDrawScale(1, 1);
    setDrawAlpha(0.5f);
    setDrawColor(255, 255, 255);
    drawString(versionText, static_cast<float>(screenWidth() - 40), static_cast<float>(screenHeight() - 12));
    selectFont(gameFont());
}

void TGame::drawJoypadScreen(float dt) {
    joypad->drawScreen();
    joypad->updateScreen(dt);
    drawCaption("PRESS ESCAPE TO CANCEL", 570, CaptionStyle::Green, {.white = true});
    if (keyHitCount(Key::Escape)) joypad->mode = JoypadMode::Hidden;
}

// --- Configuration -------------------------------------------------------------------------------------

namespace {

// While a joypad screen is up it owns the page below the title: Escape only closes it.
bool joypadScreenShown(TGame& g, int mode, float dt) {
    if (g.joypad->mode != mode) return false;
    g.fadeLogoOut();
    g.drawJoypadScreen(dt);
    return true;
}

} // namespace

void TGame::runConfigMenu(GameState backState) {
    configMenu->draw(450);
    const MenuResult result = configMenu->update();
    if (result == MenuResult::OptionChanged) applyConfigOption();
    if (result != MenuResult::Chosen) return;
    switch (configMenu->selectedEntry<ConfigMenuEntry>()) {
    case ConfigMenuEntry::ConfigureJoypad:
        joypad->mode = JoypadMode::Configuration;
        joypad->step = 1;
        break;
    case ConfigMenuEntry::TestJoypad:
        joypad->mode = JoypadMode::Test;
        break;
    case ConfigMenuEntry::Back:
        state = backState;
        break;
    default:
        break; // a setting changes with its options, not by being chosen
    }
}

void TGame::configScreen(float dt) {
    updateWorld(dt);
    drawWorld();
    drawLogo();
    drawCaption("CONFIGURATION", 50, CaptionStyle::Blue);
    if (joypadScreenShown(*this, JoypadMode::Configuration, dt)) return;
    frontEndBurst();
    if (joypadScreenShown(*this, JoypadMode::Test, dt)) return;

    fadeLogoIn();
    runConfigMenu(GameState::Title);
    // Enter on an entry was taken by the menu above, so here it is mostly Escape that leaves.
    if (backPressed()) state = GameState::Title;
}

// --- Credits and instructions ---------------------------------------------------------------------------

namespace {

struct TPageLine {
    float row;
    const char* text;
    bool white;
    bool centred;
};

constexpr std::array<TPageLine, 6> creditLines{{
    {420, "CODE BY THE KELVANOR TEAM", 0, 1},
    {440, "MUSIC AND SOUND EFFECTS GENERATED", 0, 1},
    {460, "BY THE GAME'S OWN BUILD TOOLS", 0, 1},
    {480, "FONT: PLAY BY JONAS HECKSHER", 0, 1},
    {500, "SIL OPEN FONT LICENSE 1.1", 0, 1},
    {540, "CONTACT: SEE THE README", 0, 1},
}};

// Left-aligned lines start at the screen edge and carry their own indentation.
constexpr std::array<TPageLine, 18> instructionLines{{
    {50, "INSTRUCTIONS", 0, 1},
    {100, "CONTROLS", 1, 0},
    {120, " USE THE LEFT STICK TO MANOUVRE", 0, 0},
    {140, " YOUR CRAFT AND THE RIGHT STICK TO", 0, 0},
    {160, " CONTROL YOUR DIRECTION OF FIRE.", 0, 0},
    {180, " PUSH THE BOMB BUTTON TO USE A BOMB", 0, 0},
    {200, " AND CLEAR THE SCREEN OF ENEMIES.", 0, 0},
    {230, "SCORING", 1, 0},
    {250, " A WEAPON UPGRADE IS AWARDED AT", 0, 0},
    {270, " EVERY 10.000 POINTS. AN EXTRA LIFE", 0, 0},
    {290, " IS AWARDED AT EVERY 75.000 POINTS.", 0, 0},
    {310, " AN EXTRA BOMB IS AWARDED AT EVERY", 0, 0},
    {330, " 100.000 POINTS.", 0, 0},
    {360, "THE MORE POINTS YOU SCORE, THE MORE", 0, 0},
    {380, " YOUR MULTIPLIER INCREASES. HOWEVER,", 0, 0},
    {400, " BE WARNED, LOSE A LIFE AND YOUR", 0, 0},
    {420, " MULTIPLIER WILL BE RESET AND YOU", 0, 0},
    {440, " WILL HAVE TO START ALL OVER AGAIN.", 0, 0},
}};

// Credits and instructions: the backdrop, the logo fading one way, the lines, and "BACK" to the title.
template <size_t Count>
void runTextPage(TGame& g, float dt, const std::array<TPageLine, Count>& lines, bool logoShown) {
    g.frontEndBackdrop(dt, true);
    if (logoShown) {
        g.fadeLogoIn();
    } else {
        g.fadeLogoOut(); // the text needs the space the logo takes
    }
    for (const TPageLine& line : lines)
        drawCaption(line.text, line.row, CaptionStyle::Blue, {.white = line.white, .centred = line.centred});
    drawCaption("BACK", 570, CaptionStyle::Green, {.white = true});
    if (g.backPressed()) g.state = GameState::Title;
}

} // namespace

void TGame::creditsScreen(float dt) {
    runTextPage(*this, dt, creditLines, true);
}

void TGame::instructionsScreen(float dt) {
    runTextPage(*this, dt, instructionLines, false);
}
