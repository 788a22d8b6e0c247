#include "shape_tables.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A claw: point at (0, 12), two prongs up to y = -10, an inner notch down to (0, 4).
constexpr TShapeSegment playerSmall[] = {
    {0, 12, 12, 4}, {0, 12, -12, 4}, {4, -10, 8, -8}, {12, 4, 8, -8},    {4, -10, 6, -8},   {6, -8, 7, 1},
    {7, 1, 0, 4},   {0, 4, -7, 1},   {-7, 1, -6, -8}, {-6, -8, -4, -10}, {-4, -10, -8, -8}, {-8, -8, -12, 4},
};

// A 24-sided ring of radius 20; the shield and the gravity well share it.
constexpr TShapeSegment ring20[] = {
    {-20, 3, -20, -3},   {3, -20, -3, -20},   {-3, -20, -7, -19}, {-20, -3, -19, -7}, {-16, -12, -12, -16},
    {-7, -19, -12, -16}, {-16, -12, -19, -7}, {-20, 3, -19, 7},   {-19, 7, -16, 12},  {-16, 12, -12, 16},
    {-3, 20, -7, 19},    {-7, 19, -12, 16},   {3, 20, -3, 20},    {3, 20, 7, 19},     {7, 19, 12, 16},
    {12, 16, 16, 12},    {20, 3, 20, -3},     {20, 3, 19, 7},     {19, 7, 16, 12},    {20, -3, 19, -7},
    {19, -7, 16, -12},   {3, -20, 7, -19},    {7, -19, 12, -16},  {12, -16, 16, -12},
};

// The 1024 x 640 arena.
constexpr TShapeSegment border[] = {
    {-512, -320, 512, -320}, {-512, 320, 512, 320}, {-512, 320, -512, -320}, {512, 320, 512, -320}};

constexpr TShapeSegment bullet[] = {{0, 0, 4, 12}, {4, 12, 0, 16}, {0, 16, -4, 12}, {-4, 12, 0, 0}};

// Wanderer: a pinwheel of four triangles.
constexpr TShapeSegment enemy0[] = {{0, 14, 14, 14}, {-14, 14, -14, 0},  {-14, -14, 0, -14}, {14, 0, 14, -14},
                                    {0, 14, 0, -14}, {-14, -14, 14, 14}, {14, -14, -14, 14}, {-14, 0, 14, 0}};

// Chaser: a diamond.
constexpr TShapeSegment enemy1[] = {{0, 16, 16, 0}, {16, 0, 0, -16}, {0, -16, -16, 0}, {-16, 0, 0, 16}};

// Dodger: a square inside a diamond.
constexpr TShapeSegment enemy2[] = {{0, 16, 16, 0}, {16, 0, 0, -16}, {0, -16, -16, 0}, {-16, 0, 0, 16},
                                    {8, 8, 8, -8},  {8, -8, -8, -8}, {-8, -8, -8, 8},  {-8, 8, 8, 8}};

// Splitter (and, at half scale, its splinters): a diamond with both diagonals.
constexpr TShapeSegment enemy3[] = {{0, 16, 16, 0},  {16, 0, 0, -16}, {0, -16, -16, 0},
                                    {-16, 0, 0, 16}, {16, 0, -16, 0}, {0, 16, 0, -16}};

// Well child: a small rounded square.
constexpr TShapeSegment enemy6[] = {
    {-2, -8, -5, -7}, {-8, -2, -7, -5}, {-8, 2, -7, 5},   {-5, 7, -2, 8},  {2, 8, 5, 7},    {7, 5, 8, 2},
    {8, -2, 7, -5},   {5, -7, 2, -8},   {-5, -7, -7, -5}, {-8, -2, -8, 2}, {-2, -8, 2, -8}, {7, -5, 5, -7},
    {8, -2, 8, 2},    {7, 5, 5, 7},     {2, 8, -2, 8},    {-5, 7, -7, 5},
};

// Snake head, notched at (0, 6).
constexpr TShapeSegment enemy7[] = {{0, 6, 6, 10}, {0, 6, -6, 10},  {0, -10, 6, -6}, {6, -6, 8, 2},
                                    {8, 2, 6, 10}, {-8, 2, -6, 10}, {-8, 2, -6, -6}, {-6, -6, 0, -10}};

// Snake tail segment.
constexpr TShapeSegment enemy7a[] = {{0, 0, 4, 16}, {4, 16, -4, 16}, {0, 0, -4, 16}};

// Swarmer: a small triangle.
constexpr TShapeSegment enemy8[] = {{6, 6, -6, 6}, {-6, 6, 0, -6}, {0, -6, 6, 6}};

// Dasher: a U-shaped claw with crossed inner strokes.
constexpr TShapeSegment enemy9[] = {
    {11, 9, 11, -6},  {5, 4, 5, -6},    {5, -6, 8, -9},    {8, -9, 11, -6}, {-11, 9, -11, -6},
    {5, 4, -7, 11},   {-5, 4, 7, 11},   {3, 13, 11, 9},    {-5, 4, -5, -6}, {3, 13, -3, 13},
    {-3, 13, -11, 9}, {-5, -6, -8, -9}, {-8, -9, -11, -6},
};

// Dasher shield: four bars of falling length.
constexpr TShapeSegment enemy9a[] = {
    {-8, 12, 8, 12}, {14, 4, -14, 4}, {-20, -4, 20, -4}, {26, -12, -26, -12}};

constexpr TShapeTable tables[] = {
    {"player_small.xml", 193, 255, 255, playerSmall},
    {"player_shield.xml", 255, 255, 255, ring20},
    {"border.xml", 204, 255, 255, border},
    {"bullet.xml", 255, 128, 64, bullet},
    {"enemy0.xml", 128, 51, 255, enemy0},
    {"enemy1.xml", 0, 255, 255, enemy1},
    {"enemy2.xml", 108, 255, 108, enemy2},
    {"enemy3.xml", 255, 66, 255, enemy3},
    {"enemy5.xml", 255, 64, 64, ring20},
    {"enemy6.xml", 62, 158, 255, enemy6},
    {"enemy7.xml", 100, 177, 255, enemy7},
    {"enemy7a.xml", 255, 146, 94, enemy7a},
    {"enemy8.xml", 98, 89, 255, enemy8},
    {"enemy9.xml", 255, 83, 83, enemy9},
    {"enemy9a.xml", 255, 83, 83, enemy9a},
};

} // namespace

std::span<const TShapeTable> shapeTables() {
    return tables;
}

const TShapeTable& shapeTable(std::string_view fileName) {
    for (const TShapeTable& table : tables) {
        if (table.fileName == fileName) return table;
    }
    std::fprintf(stderr, "assetgen: no shape table named %s\n", std::string(fileName).c_str());
    std::exit(1);
}
