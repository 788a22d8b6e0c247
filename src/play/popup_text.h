// TPopupText: a score or "Multiplier X " text that shrinks and flickers where an enemy died.
#pragma once

#include "play/list_place.h"

#include <memory>
#include <string>

class TPopupText {
public:
    // Appends the text to the popups list.
    static std::shared_ptr<TPopupText> create(const std::string& text, float x, float y);

    void update(float dt);
    void draw();

    float scale = 1.0f;
    std::string text;
    float x = 0;
    float y = 0;
    TListPlace listPlace;
};
