// The menu widget: building entries, drawing them as captions and reading the cursor keys, the joypad
// stick and the choose buttons once per frame.
#include "app/ui/menu.h"

#include "app/game.h"
#include "app/ui/caption.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"

#include <algorithm>

namespace {

enum class Move { None, Up, Down, Left, Right };

// The stick counts only when it was near the centre at the poll before, so holding it moves once.
Move stickMove(const TJoypad* pad) {
    Move move = Move::None;
    if (!pad || pad->stickPushed) return move;
    if (pad->move.y < -0.8f) move = Move::Up;
    if (pad->move.y > 0.8f) move = Move::Down;
    if (pad->move.x < -0.8f) move = Move::Left;
    if (pad->move.x > 0.8f) move = Move::Right;
    return move;
}

} // namespace

void playMenuSound(float rate) {
    game->sounds->play(game->sounds->menuSound, rate);
}

TMenuItem TMenuItem::create(const std::string& text) {
    TMenuItem item;
    item.options[0] = text;
    item.optionCount = 1;
    return item;
}

void TMenuItem::addOption(const std::string& text) {
    if (optionCount >= MaxOptions)
        raiseFatalError("Menu entry \"" + options[0] + "\" already has " + std::to_string(MaxOptions) +
                        " options; \"" + text + "\" does not fit.");
    options[static_cast<size_t>(optionCount)] = text;
    ++optionCount;
}

std::shared_ptr<TMenu> TMenu::create() {
    return std::make_shared<TMenu>();
}

void TMenu::addItem(const std::string& text) {
    if (itemCount >= MaxItems)
        raiseFatalError("Menu already has " + std::to_string(MaxItems) + " entries; \"" + text +
                        "\" does not fit.");
    items[static_cast<size_t>(itemCount)] = TMenuItem::create(text);
    ++itemCount;
}

void TMenu::addOption(int index, const std::string& text) {
    if (index < 0 || index >= itemCount)
        raiseFatalError("Menu has no entry " + std::to_string(index) + " for the option \"" + text + "\".");
    items[static_cast<size_t>(index)].addOption(text);
}

// Values come from the settings file too; one out of range would show a text that does not exist, so it is
// held to the entry's options.
void TMenu::setOption(int index, int value) {
    if (index < 0 || index >= itemCount) return;
    TMenuItem& item = items[static_cast<size_t>(index)];
    item.current = std::clamp(value, 0, item.optionCount - 1);
}

void TMenu::draw(float y) {
    setDrawOrigin(0, 0);
    setDrawScale(1, 1);
    setDrawRotation(0);
    for (int i = 0; i < itemCount; ++i)
        drawCaption(items[static_cast<size_t>(i)].text(), y + 20.0f * static_cast<float>(i),
                    CaptionStyle::Green, {.white = i == selected});
}

MenuResult TMenu::update() {
    const TJoypad* pad = game ? game->joypad.get() : nullptr;
    Move move = stickMove(pad);
    // Every counter is read, so a key hit this frame never lingers into a later one.
    if (keyHitCount(Key::Up)) move = Move::Up;
    if (keyHitCount(Key::Down)) move = Move::Down;
    if (keyHitCount(Key::Left)) move = Move::Left;
    if (keyHitCount(Key::Right)) move = Move::Right;

    if (itemCount > 0) {
        TMenuItem& item = items[static_cast<size_t>(selected)];
        switch (move) {
        case Move::Up:
            selected = selected == 0 ? itemCount - 1 : selected - 1;
            playMenuSound(1.0f);
            break;
        case Move::Down:
            selected = selected == itemCount - 1 ? 0 : selected + 1;
            playMenuSound(1.0f);
            break;
        // A change of option ends the update: Enter hit in the same frame is left for the next one.
        case Move::Left:
            item.current = std::max(item.current - 1, 0);
            playMenuSound(0.8f);
            return MenuResult::OptionChanged;
        case Move::Right:
            item.current = std::min(item.current + 1, item.optionCount - 1);
            playMenuSound(0.8f);
            return MenuResult::OptionChanged;
        case Move::None:
            break;
        }
    }

    if ((pad && pad->selectPressed()) || keyHitCount(Key::Enter)) {
        playMenuSound(0.8f);
        return MenuResult::Chosen;
    }
    return MenuResult::Nothing;
}
