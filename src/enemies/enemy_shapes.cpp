#include "enemies/enemy_shapes.h"

#include "app/game.h"
#include "shapes/shape.h"

#include <stdexcept>

namespace {
// Splinters are small splitters (enemy3); the snake's tail and the dasher's shield have their own.
constexpr const char* enemyShapeFiles[] = {"enemy0.xml", "enemy1.xml", "enemy2.xml", "enemy3.xml",
                                           "enemy5.xml", "enemy6.xml", "enemy7.xml", "enemy7a.xml",
                                           "enemy8.xml", "enemy9.xml", "enemy9a.xml"};
} // namespace

TEnemyShapes loadEnemyShapes() {
    TEnemyShapes shapes;
    for (const char* file : enemyShapeFiles)
        shapes[file] = TShape::create(std::string("incbin::") + file);
    return shapes;
}

std::shared_ptr<TShape> copyEnemyShape(std::string_view file) {
    const auto found = game->enemyShapes.find(file);
    if (found == game->enemyShapes.end()) throw std::out_of_range("no enemy outline " + std::string(file));
    return found->second->copy();
}
