#include "play/backdrop.h"

#include "app/game.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/scroll.h"

TBackdrop::TBackdrop() : scroll(worldScrollOffset()) {}

std::shared_ptr<TBackdrop> TBackdrop::create(int count) {
    auto backdrop = std::make_shared<TBackdrop>();
    backdrop->stars.reserve(static_cast<size_t>(count));
    const double width = screenWidth(), height = screenHeight();
    for (int i = 0; i < count; ++i) {
        TStar star;
        star.x = static_cast<float>(randomReal(0, width));
        star.y = static_cast<float>(randomReal(0, height));
        star.depth = static_cast<float>(randomReal(0, 1));
        backdrop->stars.push_back(star);
    }
    backdrop->scroll.set(0, 0);
    return backdrop;
}

void TBackdrop::update(float dt) {
    const TVector& velocity = game->player->particle->velocity;
    scroll.set(-0.5f * velocity.x * dt, -0.5f * velocity.y * dt);
    moveStars();
}

void TBackdrop::moveStars() {
    const float width = static_cast<float>(screenWidth());
    const float height = static_cast<float>(screenHeight());
    for (TStar& star : stars) {
        star.x += scroll.x * star.depth;
        star.y += scroll.y * star.depth;
        // A star that leaves one edge comes back at the opposite one.
        if (star.x < 0) star.x = width;
        if (star.x > width) star.x = 0;
        if (star.y > height) star.y = 0;
        if (star.y < 0) star.y = height;
    }
}

void TBackdrop::draw() {
    setDrawOrigin(0, 0);
    setDrawAlpha(1.0f);
    setDrawTransform(0, 1, 1);
    setClearColor(10, 10, 20);
    clearFrame();
    for (const TStar& star : stars) {
        const int grey = static_cast<int>(star.depth * 255);
        setDrawColor(grey, grey, grey);
        plotPoint(star.x, star.y);
    }
}
