#include "assets/embedded_asset.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

struct TShapeFileSegment {
    int x1, y1, x2, y2;
    int red, green, blue;
};

struct TShapeFile {
    std::vector<std::string> lines; // without their CR LF
    bool everyLineEndsInCrLf = true;
    std::vector<TShapeFileSegment> segments;
    bool everySegmentLineWellFormed = true;
};

TShapeFile readShapeFile(std::string_view name) {
    const std::span<const uint8_t> bytes = embeddedAsset(name);
    const std::string text(bytes.begin(), bytes.end());
    TShapeFile file;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string::npos ? text.size() : lineFeed;
        const bool crLf = lineFeed != std::string::npos && end > start && text[end - 1] == '\r';
        file.everyLineEndsInCrLf = file.everyLineEndsInCrLf && crLf;
        file.lines.push_back(text.substr(start, end - start - (crLf ? 1 : 0)));
        start = end + 1;
    }
    // Exactly one tab, one space between attributes, in this order, and a space before "/>".
    static const std::regex segmentLine(
        "\t<line x1=\"(-?\\d+)\" y1=\"(-?\\d+)\" x2=\"(-?\\d+)\" y2=\"(-?\\d+)\" "
        "width=\"1\" red=\"(\\d+)\" green=\"(\\d+)\" blue=\"(\\d+)\" />");
    for (size_t i = 1; i + 1 < file.lines.size(); ++i) {
        std::smatch match;
        if (!std::regex_match(file.lines[i], match, segmentLine)) {
            file.everySegmentLineWellFormed = false;
            continue;
        }
        const auto field = [&](int k) { return std::stoi(match[k].str()); };
        file.segments.push_back({field(1), field(2), field(3), field(4), field(5), field(6), field(7)});
    }
    return file;
}

struct TShapeFileFacts {
    std::string_view name;
    size_t segments;
    int red, green, blue;
    // Byte size the loader-side tools were built against; a changed digit or a lost segment shows here.
    size_t bytes;
};

const TShapeFileFacts shapeFiles[] = {
    {"player_small.xml", 12, 193, 255, 255, 1044}, {"player_shield.xml", 24, 255, 255, 255, 2108},
    {"border.xml", 4, 204, 255, 255, 396},         {"bullet.xml", 4, 255, 128, 64, 360},
    {"enemy0.xml", 8, 128, 51, 255, 712},          {"enemy1.xml", 4, 0, 255, 255, 360},
    {"enemy2.xml", 8, 108, 255, 108, 704},         {"enemy3.xml", 6, 255, 66, 255, 532},
    {"enemy5.xml", 24, 255, 64, 64, 2060},         {"enemy6.xml", 16, 62, 158, 255, 1356},
    {"enemy7.xml", 8, 100, 177, 255, 702},         {"enemy7a.xml", 3, 255, 146, 94, 277},
    {"enemy8.xml", 3, 98, 89, 255, 272},           {"enemy9.xml", 13, 255, 83, 83, 1107},
    {"enemy9a.xml", 4, 255, 83, 83, 366},
};

TEST(ShapeAssets, FollowTheLayoutTheShapeLoaderReads) {
    for (const TShapeFileFacts& facts : shapeFiles) {
        SCOPED_TRACE(std::string(facts.name));
        const TShapeFile file = readShapeFile(facts.name);
        ASSERT_GE(file.lines.size(), 2u);
        EXPECT_EQ(file.lines.front(), "<object ID=\"\" >");
        EXPECT_EQ(file.lines.back(), "</object>");
        EXPECT_TRUE(file.everyLineEndsInCrLf);
        EXPECT_TRUE(file.everySegmentLineWellFormed);
    }
}

TEST(ShapeAssets, CarryEverySegmentInItsFileColour) {
    size_t total = 0;
    for (const TShapeFileFacts& facts : shapeFiles) {
        SCOPED_TRACE(std::string(facts.name));
        const TShapeFile file = readShapeFile(facts.name);
        EXPECT_EQ(file.segments.size(), facts.segments);
        EXPECT_EQ(embeddedAsset(facts.name).size(), facts.bytes);
        for (const TShapeFileSegment& segment : file.segments) {
            EXPECT_EQ(segment.red, facts.red);
            EXPECT_EQ(segment.green, facts.green);
            EXPECT_EQ(segment.blue, facts.blue);
        }
        total += file.segments.size();
    }
    EXPECT_EQ(total, 141u);
}

// Each outline is drawn as one closed figure or a set of strokes; a mistyped end point usually leaves a
// loose end that no other segment meets. The dasher shield's bars and the wanderer's pinwheel are meant
// to have free ends, so they are left out.
TEST(ShapeAssets, ClosedOutlinesHaveNoLooseEnds) {
    for (std::string_view name :
         {"player_small.xml", "player_shield.xml", "border.xml", "bullet.xml", "enemy1.xml", "enemy2.xml",
          "enemy5.xml", "enemy6.xml", "enemy7.xml", "enemy7a.xml", "enemy8.xml"}) {
        SCOPED_TRACE(std::string(name));
        const TShapeFile file = readShapeFile(name);
        std::map<std::pair<int, int>, int> endCount;
        for (const TShapeFileSegment& segment : file.segments) {
            ++endCount[{segment.x1, segment.y1}];
            ++endCount[{segment.x2, segment.y2}];
        }
        for (const auto& [point, count] : endCount)
            EXPECT_EQ(count % 2, 0) << "loose end at " << point.first << "," << point.second;
    }
}

} // namespace
