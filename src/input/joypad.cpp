// The joypad reader: the mapped sticks and buttons read once a frame, the automatic detection of axes
// and buttons, and the configuration dialogue and test screen built on them.
//
// Sections: axes · reading · detection · configuration dialogue · screens.
#include "input/joypad.h"

#include "app/game.h"
#include "app/ui/caption.h"
#include "app/ui/menu.h"
#include "platform/display.h"
#include "platform/input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

// Every reading the game makes uses the first pad.
constexpr int GamePort = 0;

constexpr float StickPushedLimit = 0.8f;
// A detected axis must be clearly moved, and not resting at full deflection as analog triggers do.
constexpr float DetectLow = 0.5f;
constexpr float DetectHigh = 0.9f;
constexpr float ConfirmationSeconds = 2.0f;

// Steps 1..8 of the dialogue, each with the mapping field it fills; step 9 only says it is done.
struct TConfigStep {
    std::string_view prompt;
    int TJoypadMapping::*field;
    bool isAxis;
};
constexpr std::array<TConfigStep, 8> configSteps = {{
    {"PUSH 'MOVE' STICK LEFT OR RIGHT...", &TJoypadMapping::moveXAxis, true},
    {"PUSH 'MOVE' STICK UP OR DOWN...", &TJoypadMapping::moveYAxis, true},
    {"PUSH 'FIRE' STICK LEFT OR RIGHT...", &TJoypadMapping::fireXAxis, true},
    {"PUSH 'FIRE' STICK UP OR DOWN...", &TJoypadMapping::fireYAxis, true},
    {"PUSH 'BOMB' BUTTON...", &TJoypadMapping::bombButton, false},
    {"PUSH 'PAUSE' BUTTON...", &TJoypadMapping::pauseButton, false},
    {"PUSH 'SELECT' BUTTON...", &TJoypadMapping::selectButton, false},
    {"PUSH 'BACK' BUTTON...", &TJoypadMapping::backButton, false},
}};
constexpr int DoneStep = 9;

const TConfigStep* configStep(int step) {
    return step >= 1 && step <= static_cast<int>(configSteps.size()) ? &configSteps[step - 1] : nullptr;
}

constexpr std::array<std::string_view, 10> axisNames = {"",          "JOY-X",    "JOY-Y",   "JOY-Z", "JOY-R",
                                                        "JOY-PITCH", "JOY-ROLL", "JOY-YAW", "JOY-U", "JOY-V"};

std::string_view axisNameView(int number) {
    return number >= 0 && number <= TJoypadMapping::LastAxis ? axisNames[number] : std::string_view{};
}

} // namespace

// --- Axes ----------------------------------------------------------------------------------------------

std::string TJoypad::axisName(int number) {
    return std::string(axisNameView(number));
}

// An axis the platform does not drive (none, pitch, roll, yaw) reads 0, like an unplugged one.
float TJoypad::readAxis(int number, int port) {
    const auto& numbers = TJoypadMapping::PlatformAxisNumbers;
    const auto found = std::find(numbers.begin(), numbers.end(), number);
    return found == numbers.end() ? 0 : padAxis(static_cast<int>(found - numbers.begin()), port);
}

// --- Reading -------------------------------------------------------------------------------------------

std::shared_ptr<TJoypad> TJoypad::create() {
    return std::make_shared<TJoypad>(); // unmapped, hidden, the confirmation timer full
}

TJoypadMapping TJoypad::mappingInForce(int port) const {
    if (!mapping.isUnconfigured()) return mapping; // the player's own always wins
    return TJoypadMapping::fromLayout(padLayout(port)).value_or(mapping);
}

void TJoypad::poll(int port) {
    pausePrevious = pause;
    selectPrevious = select;
    backPrevious = back;

    // From the stick as it was, so that a menu moves once per push: it sees the push at the first poll
    // beyond the limit and is held off from the next one on.
    stickPushed = std::fabs(move.y) > StickPushedLimit || std::fabs(move.x) > StickPushedLimit;

    const TJoypadMapping m = mappingInForce(port);
    move.set(readAxis(m.moveXAxis, port), readAxis(m.moveYAxis, port));
    fire.set(readAxis(m.fireXAxis, port), readAxis(m.fireYAxis, port));

    pause = isPadButtonDown(m.pauseButton, port) != 0;
    select = isPadButtonDown(m.selectButton, port) != 0;
    back = isPadButtonDown(m.backButton, port) != 0;
    bomb = isPadButtonDown(m.bombButton, port) != 0;

    // Read after the buttons, whose query has just run the event pump.
    connectedPrevious = connected;
    connected = isPadConnected(port);

    // A dialogue cancelled during a confirmation would otherwise carry its pending step into the next
    // one, which would then open one prompt too far along.
    if (mode == JoypadMode::Hidden) {
        waiting = false;
        pauseTimer = ConfirmationSeconds;
    }
}

// --- Detection -----------------------------------------------------------------------------------------

int TJoypad::detectAxis(int port) {
    for (int number = 1; number <= TJoypadMapping::LastAxis; ++number) {
        const float magnitude = std::fabs(readAxis(number, port));
        if (magnitude > DetectLow && magnitude < DetectHigh) return number;
    }
    return 0;
}

int TJoypad::detectButton(int port) {
    for (int button = 0; button <= TJoypadMapping::LastButton; ++button) {
        if (isPadButtonDown(button, port)) return button;
    }
    return -1;
}

// --- Configuration dialogue ----------------------------------------------------------------------------

void TJoypad::updateScreen(float dt) {
    if (waiting) {
        pauseTimer -= dt;
        if (pauseTimer < 0) {
            pauseTimer = ConfirmationSeconds;
            step += 1;
            waiting = false;
        }
        return;
    }
    if (mode == JoypadMode::Test) {
        poll(GamePort);
        return;
    }
    if (mode != JoypadMode::Configuration) return;

    if (step == DoneStep) {
        mode = JoypadMode::Test;
        return;
    }
    const TConfigStep* current = configStep(step);
    if (!current) return;
    // Nothing stops one axis or button from being captured for two steps: a button still held from the
    // step before is taken again.
    const int detected = current->isAxis ? detectAxis(GamePort) : detectButton(GamePort);
    const int nothing = current->isAxis ? 0 : -1;
    if (detected == nothing) return;
    // A known pad's mapping is the starting point: a dialogue left half way keeps the rest of it.
    if (mapping.isUnconfigured()) mapping = mappingInForce(GamePort);
    mapping.*(current->field) = detected;
    waiting = true;
}

// --- Screens -------------------------------------------------------------------------------------------

namespace {

constexpr float TitleRow = 200;
constexpr float PromptRow = 265;
constexpr float StickCaptionRow = 225;
constexpr float BandTop = 240;
constexpr float BandHeight = 150;
constexpr float SquareTop = 245;
constexpr float SquareSize = 100;
constexpr float MoveSquareLeft = 235;
constexpr float FireSquareLeft = 463;
constexpr float DotSize = 8;
constexpr float StickReach = 50; // a full deflection moves the dot to the square's edge
constexpr float LabelRow = 370;

void drawStickDot(float centreX, float centreY, const TVector& stick) {
    fillRect(centreX + stick.x * StickReach - DotSize / 2, centreY + stick.y * StickReach - DotSize / 2,
             DotSize, DotSize);
}

void drawButtonLabel(std::string_view label, float x, int down) {
    setDrawColor(125, 125, 125);
    drawString(label, x, LabelRow);
    if (!down) return;
    setDrawColor(255, 0, 0);
    drawString(label, x, LabelRow);
}

} // namespace

void TJoypad::drawScreen() {
    if (mode == JoypadMode::Configuration) {
        drawCaption("JOYPAD CONFIGURATION", TitleRow, CaptionStyle::Green, {.white = true});
        drawConfigurationPrompt();
    } else if (mode == JoypadMode::Test) {
        drawCaption("JOYPAD TEST", TitleRow, CaptionStyle::Green, {.white = true});
        drawTestPanel();
    }
}

void TJoypad::drawConfigurationPrompt() {
    const TConfigStep* current = configStep(step);
    if (waiting && current) {
        // Built in place: nothing in the draw path allocates.
        std::array<char, 48> text{};
        const int value = mapping.*(current->field);
        if (current->isAxis) {
            const std::string_view name = axisNameView(value);
            std::snprintf(text.data(), text.size(), "OK, SET TO %.*s", static_cast<int>(name.size()),
                          name.data());
        } else {
            std::snprintf(text.data(), text.size(), "OK, SET TO BUTTON %d", value);
        }
        drawCaption(text.data(), PromptRow, CaptionStyle::Green);
        return;
    }
    if (current) {
        drawCaption(current->prompt, PromptRow, CaptionStyle::Green, {.white = true});
    } else if (step == DoneStep) {
        drawCaption("DONE!", PromptRow, CaptionStyle::Green, {.white = true});
        // The test screen follows. Back on the menu the cursor is off CONFIGURE JOYPAD, so the freshly
        // mapped SELECT does not start the whole dialogue over.
        game->configMenu->selected = menuIndex(ConfigMenuEntry::Grid);
    }
}

void TJoypad::drawTestPanel() {
    drawCaption("MOVE          FIRE", StickCaptionRow, CaptionStyle::Blue, {.white = true});

    setDrawOrigin(0, 0);
    setDrawScale(1, 1);
    setDrawRotation(0);
    setBlendMode(BlendAlpha);
    setDrawAlpha(0.8f);
    setDrawColor(60, 60, 90);
    fillRect(0, BandTop, static_cast<float>(screenWidth()), BandHeight);
    setDrawColor(90, 90, 120);
    fillRect(MoveSquareLeft, SquareTop, SquareSize, SquareSize);
    fillRect(FireSquareLeft, SquareTop, SquareSize, SquareSize);

    setDrawAlpha(1.0f);
    setDrawColor(255, 0, 0);
    drawStickDot(MoveSquareLeft + SquareSize / 2, SquareTop + SquareSize / 2, move);
    drawStickDot(FireSquareLeft + SquareSize / 2, SquareTop + SquareSize / 2, fire);
    setBlendMode(BlendAdditive);

    drawButtonLabel("PAUSE", 30, pause);
    drawButtonLabel("BOMB", 200, bomb);
    drawButtonLabel("BACK", 400, back);
    drawButtonLabel("SELECT", 600, select);
}
