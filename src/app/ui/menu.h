// TMenu and TMenuItem: the menu widget of the title, configuration and pause pages. An entry with one
// option is a command; with several it is a setting whose value is the option shown.
#pragma once

#include <array>
#include <memory>
#include <string>

class TMenuItem {
public:
    static constexpr int MaxOptions = 5;

    static TMenuItem create(const std::string& text);
    void addOption(const std::string& text);
    const std::string& text() const { return options[static_cast<size_t>(current)]; }

    std::array<std::string, MaxOptions> options;
    int current = 0;
    int optionCount = 0;
};

// What a frame's update did with the selected entry.
enum class MenuResult { Nothing, Chosen, OptionChanged };

// Each menu names its entries with an enum of its own (MainMenuEntry, ConfigMenuEntry); the value is
// the entry's index.
template <class Entry> constexpr int menuIndex(Entry entry) {
    return static_cast<int>(entry);
}

class TMenu {
public:
    static constexpr int MaxItems = 9;

    static std::shared_ptr<TMenu> create();
    void addItem(const std::string& text);
    void addOption(int index, const std::string& text);
    void setOption(int index, int value);
    void draw(float y);
    // Once per frame; a chosen or changed entry is the one selected.
    MenuResult update();
    template <class Entry> Entry selectedEntry() const { return static_cast<Entry>(selected); }

    std::array<TMenuItem, MaxItems> items;
    int itemCount = 0;
    int selected = 0;
};

// The menu click, also used by the pages' back action; silent until the sound bank exists.
void playMenuSound(float rate);
