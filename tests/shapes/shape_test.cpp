#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>

#include "platform/assets.h"
#include "shapes/fatal_exit.h"
#include "shapes/shape.h"

namespace {

std::string segment(int x1, int y1, int x2, int y2, int red = 255, int green = 128, int blue = 64) {
    auto attribute = [](const char* name, int value) {
        return std::string(name) + "=\"" + std::to_string(value) + "\" ";
    };
    return "\t<line " + attribute("x1", x1) + attribute("y1", y1) + attribute("x2", x2) +
           attribute("y2", y2) + attribute("width", 1) + attribute("red", red) + attribute("green", green) +
           attribute("blue", blue) + "/>\r\n";
}

// Written the way the shipped files are: CR LF endings, one element a line.
Shape loadShape(const std::string& body) {
    const auto path =
        std::filesystem::temp_directory_path() / ("kelvanor_shape_" + std::to_string(getpid()) + ".xml");
    std::ofstream(path, std::ios::binary) << body;
    Shape shape = TShape::create(path.string());
    std::filesystem::remove(path);
    return shape;
}

// Two segments from the origin along the file's +x and +y axes, ten units long.
Shape loadAxes() {
    return loadShape("<object ID=\"\" >\r\n" + segment(0, 0, 10, 0) + segment(0, 0, 0, 10) + "</object>\r\n");
}

void expectPointNear(const TVector& point, float x, float y) {
    EXPECT_NEAR(point.x, x, 1e-5) << point.toString();
    EXPECT_NEAR(point.y, y, 1e-5) << point.toString();
}

TEST(ShapeLoad, ReadsSegmentsInFileOrderIntoBothLists) {
    const Shape shape =
        loadShape("<object ID=\"\" >\r\n" + segment(1, 2, 3, 4, 10, 20, 30) +
                  "\t<!-- a note -->\r\n\t<mark size=\"3\" />\r\n" + segment(-5, -6, 7, 8) + "</object>\r\n");
    ASSERT_EQ(shape->sourceLines.size(), 2u);
    ASSERT_EQ(shape->drawnLines.size(), 2u);
    const TShapeLine& first = shape->sourceLines[0];
    EXPECT_TRUE(first.start.equals({1, 2}));
    EXPECT_TRUE(first.end.equals({3, 4}));
    EXPECT_EQ(first.red, 10);
    EXPECT_EQ(first.green, 20);
    EXPECT_EQ(first.blue, 30);
    EXPECT_FLOAT_EQ(first.alpha, 1);
    EXPECT_TRUE(shape->drawnLines[1].start.equals({-5, -6}));
    EXPECT_EQ(shape->needsRotation, 1);

    // An element named like the shape's ID ends the reading.
    const Shape named =
        loadShape("<object ID=\"claw\" >\r\n" + segment(1, 2, 3, 4) + "<claw>\r\n" + segment(5, 6, 7, 8));
    EXPECT_EQ(named->id, "claw");
    EXPECT_EQ(named->sourceLines.size(), 1u);
}

TEST(ShapeLoadDeathTest, UnopenableFileOrIncompleteSegmentIsFatal) {
    EXPECT_EXIT(TShape::create("no_such_dir/no_such_shape.xml"), endedWithFailure,
                "Could not open no_such_dir/no_such_shape\\.xml");
    EXPECT_EXIT(
        loadShape(
            "<object ID=\"\" >\r\n\t<line x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\" red=\"1\" green=\"2\" />\r\n"),
        endedWithFailure, "Attribute 'blue' not found");
}

TEST(ShapeRotation, HeadingDownTurnsTheShapeCounterClockwise) {
    const Shape shape = loadAxes();
    shape->heading.set(0, 1);
    shape->rotateLines();
    EXPECT_EQ(shape->needsRotation, 0);
    expectPointNear(shape->drawnLines[0].end, 0, -10);
    expectPointNear(shape->drawnLines[1].end, 10, 0);
    EXPECT_TRUE(shape->sourceLines[0].end.equals({10, 0}));

    // Only the heading's direction counts, not its length.
    shape->heading.set(5, -5);
    shape->rotateLines();
    expectPointNear(shape->drawnLines[0].end, 7.0710678f, 7.0710678f);
}

TEST(ShapeRotation, ScaleMultipliesEveryDrawnCoordinateAndNeverReachesZero) {
    const Shape shape = loadAxes();
    shape->setScale(2);
    shape->rotateLines();
    EXPECT_TRUE(shape->drawnLines[0].end.equals({20, 0}));
    EXPECT_TRUE(shape->drawnLines[1].end.equals({0, 20}));

    shape->changeScale(-5);
    EXPECT_FLOAT_EQ(shape->scale, 0.01f);
    EXPECT_EQ(shape->needsRotation, 1);
    shape->setScale(1);
    shape->changeScale(-1);
    EXPECT_FLOAT_EQ(shape->scale, 0.01f);
}

TEST(ShapeRotation, RebuildRestoresPositionsButKeepsDrawnColourAndAlpha) {
    const Shape shape = loadAxes();
    shape->rotateLines();
    TShapeLine& fading = shape->drawnLines[0];
    fading.end.add({30, 30});
    fading.alpha = 0.25f;
    fading.red = 9;
    shape->needsRotation = 1;
    shape->rotateLines();
    EXPECT_TRUE(fading.end.equals({10, 0}));
    EXPECT_FLOAT_EQ(fading.alpha, 0.25f);
    EXPECT_EQ(fading.red, 9);
}

TEST(ShapeDraw, HiddenShapeKeepsItsPendingRotation) {
    const Shape shape = loadAxes();
    shape->heading.set(0, 1);
    shape->visible = 0;
    shape->draw(2);
    EXPECT_EQ(shape->needsRotation, 1);
    EXPECT_TRUE(shape->drawnLines[0].end.equals({10, 0}));
}

TEST(ShapeCopy, StartsFromTheSourceSegmentsWithItsOwnState) {
    const Shape master = loadShape("<object ID=\"claw\" >\r\n" + segment(0, 0, 10, 0) + "</object>\r\n");
    master->heading.set(0, 1);
    master->setScale(3);
    master->rotateLines();
    master->drawnLines[0].end.set(99, 99);
    master->drawnLines[0].alpha = 0.5f;
    master->visible = 0;

    const Shape copy = master->copy();
    EXPECT_EQ(copy->id, "");
    EXPECT_FLOAT_EQ(copy->scale, 3);
    EXPECT_EQ(copy->visible, 0);
    EXPECT_EQ(copy->needsRotation, 1);
    ASSERT_EQ(copy->drawnLines.size(), 1u);
    EXPECT_TRUE(copy->drawnLines[0].end.equals({10, 0}));
    EXPECT_FLOAT_EQ(copy->drawnLines[0].alpha, 1);

    // Nothing is shared: turning and moving the copy leaves the master alone.
    copy->heading.set(1, 0);
    copy->sourceLines[0].end.set(1, 1);
    EXPECT_TRUE(master->heading.equals({0, 1}));
    EXPECT_TRUE(master->sourceLines[0].end.equals({10, 0}));
}

TEST(ShippedShapes, AllFifteenLoadWith141Segments) {
    const std::pair<const char*, size_t> shipped[] = {
        {"player_small.xml", 12}, {"player_shield.xml", 24}, {"border.xml", 4}, {"bullet.xml", 4},
        {"enemy0.xml", 8},        {"enemy1.xml", 4},         {"enemy2.xml", 8}, {"enemy3.xml", 6},
        {"enemy5.xml", 24},       {"enemy6.xml", 16},        {"enemy7.xml", 8}, {"enemy7a.xml", 3},
        {"enemy8.xml", 3},        {"enemy9.xml", 13},        {"enemy9a.xml", 4}};
    registerEmbeddedAssets();
    size_t total = 0;
    for (const auto& [name, segments] : shipped) {
        ASSERT_NE(findAsset(name), nullptr) << name << " is not registered as an embedded asset";
        const Shape shape = TShape::create(std::string("incbin::") + name);
        EXPECT_EQ(shape->sourceLines.size(), segments) << name;
        total += shape->sourceLines.size();
    }
    EXPECT_EQ(total, 141u);

    // The border's ends are the arena corners.
    const Shape border = TShape::create("incbin::border.xml");
    for (const TShapeLine& line : border->sourceLines) {
        for (const TVector& corner : {line.start, line.end}) {
            EXPECT_EQ(std::abs(corner.x), 512) << corner.toString();
            EXPECT_EQ(std::abs(corner.y), 320) << corner.toString();
        }
    }
}

} // namespace
