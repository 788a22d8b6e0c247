#include "shapes/shape.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "platform/files.h"
#include "platform/program.h"
#include "shapes/xml_reader.h"

namespace {

// Never destroyed: the program ends by exiting, and releasing a texture after the display has closed
// would touch a graphics context that is gone.
Picture& glowStrip() {
    static auto* strip = new Picture;
    return *strip;
}

// A scale of zero or below would fold the outline onto a point or mirror it; shrinking stops here.
constexpr float smallestScale = 0.01f;

constexpr float glowLineWidth = 20;
constexpr int glowLineCapped = 1;

} // namespace

void setShapeGlowPicture(Picture glowPicture) {
    glowStrip() = std::move(glowPicture);
}

void drawGlowSegment(const Picture& strip, int frame, const TVector& from, const TVector& to) {
    drawGlowLine(strip, frame, from.x, from.y, to.x, to.y, glowLineWidth, glowLineCapped);
}

TShapeLine TShapeLine::create(float x1, float y1, float x2, float y2, float /*width*/, int red, int green,
                              int blue) {
    TShapeLine line;
    line.start.set(x1, y1);
    line.end.set(x2, y2);
    line.red = red;
    line.green = green;
    line.blue = blue;
    return line;
}

void TShapeLine::draw(int frame) const {
    setDrawColor(red, green, blue);
    setDrawAlpha(alpha);
    drawGlowSegment(glowStrip(), frame, start, end);
}

Shape TShape::create(std::string_view path) {
    auto shape = std::make_shared<TShape>();
    if (!path.empty()) shape->load(path);
    return shape;
}

Shape TShape::copy() const {
    auto shape = std::allocate_shared<TShape>(TRecycler<TShape>{});
    shape->scale = scale;
    shape->visible = visible;
    shape->heading = heading;
    shape->needsRotation = true;
    shape->sourceLines = sourceLines;
    shape->drawnLines = sourceLines;
    return shape;
}

void TShape::draw(int frame) {
    if (!visible) return;
    if (needsRotation) rotateLines();
    for (const TShapeLine& line : drawnLines)
        line.draw(frame);
}

void TShape::rotateLines() {
    const double radians = degreesToRadians(TVector{}.angleTo(heading));
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double size = scale;
    // Positions only: colour and alpha on the drawn lines belong to their owner until the next copy.
    // Turned first and stored, then scaled: two roundings to float, the same on every build.
    auto turn = [&](const TVector& from, TVector& to) {
        const double x = from.x;
        const double y = from.y;
        to.x = static_cast<float>(x * c + y * s);
        to.y = static_cast<float>(-x * s + y * c);
        to.x = static_cast<float>(to.x * size);
        to.y = static_cast<float>(to.y * size);
    };
    const size_t count = std::min(sourceLines.size(), drawnLines.size());
    for (size_t k = 0; k < count; ++k) {
        turn(sourceLines[k].start, drawnLines[k].start);
        turn(sourceLines[k].end, drawnLines[k].end);
    }
    needsRotation = false;
}

void TShape::setScale(float newScale) {
    scale = newScale;
    needsRotation = true;
}

void TShape::changeScale(float change) {
    scale += change;
    if (!(scale > 0)) scale = smallestScale;
    needsRotation = true;
}

void TShape::load(std::string_view path) {
    const TextFile file = openTextForRead(path);
    if (!file) raiseFatalError("Could not open " + std::string(path));

    id = xmlAttribute(readTextLine(file), "ID");
    while (!atEndOfFile(file)) {
        const std::string line = readTextLine(file);
        const std::string name = xmlElementName(line);
        if (name.empty()) continue;
        if (name == id) break;
        if (name != "line") continue;

        const auto x1 = static_cast<float>(parseReal(xmlAttribute(line, "x1")));
        const auto y1 = static_cast<float>(parseReal(xmlAttribute(line, "y1")));
        const auto x2 = static_cast<float>(parseReal(xmlAttribute(line, "x2")));
        const auto y2 = static_cast<float>(parseReal(xmlAttribute(line, "y2")));
        const int red = parseInteger(xmlAttribute(line, "red"));
        const int green = parseInteger(xmlAttribute(line, "green"));
        const int blue = parseInteger(xmlAttribute(line, "blue"));
        const auto width = static_cast<float>(parseReal(xmlAttribute(line, "width")));
        sourceLines.push_back(TShapeLine::create(x1, y1, x2, y2, width, red, green, blue));
        drawnLines.push_back(TShapeLine::create(x1, y1, x2, y2, width, red, green, blue));
    }
}
