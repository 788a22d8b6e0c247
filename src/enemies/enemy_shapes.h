// The outlines the enemy kinds are drawn with: loaded once when the game starts, kept by file name, and
// copied by every enemy made. A new kind adds its file to the list in enemy_shapes.cpp.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class TShape;

using TEnemyShapes = std::map<std::string, std::shared_ptr<TShape>, std::less<>>;

TEnemyShapes loadEnemyShapes();

// A fresh copy of the outline loaded from file ("enemy1.xml"). A file left out of the list is a slip in
// the code, and it fails loudly (std::out_of_range) rather than drawing nothing.
std::shared_ptr<TShape> copyEnemyShape(std::string_view file);
