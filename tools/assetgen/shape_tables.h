// The outlines of every vector shape the game carries, as integer segments in shape units (pixels at scale 1,
// origin at the shape's centre, y downwards). The shape files are written from these, and the enemy icons
// are drawn from the same outlines so that an icon always matches what the player fights.
#pragma once

#include <span>
#include <string_view>

struct TShapeSegment {
    int x1, y1, x2, y2;
};

struct TShapeTable {
    std::string_view fileName;
    int red, green, blue;
    std::span<const TShapeSegment> segments;
};

// All fifteen shapes, in the order the game registers their files.
std::span<const TShapeTable> shapeTables();

// The table written to fileName; aborts the generator when there is none, since that is a typo in the
// generator itself.
const TShapeTable& shapeTable(std::string_view fileName);
