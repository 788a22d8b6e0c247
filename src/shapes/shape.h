// Vector shapes: outlines of coloured segments loaded from the XML shape files and drawn as glow lines.
//
// A shape keeps two parallel lists: the segments as loaded and the segments as drawn (turned to the
// heading and scaled). The drawn list is rebuilt from the source only when the shape is marked with
// needsRotation, so between rebuilds an owner may move or fade drawn segments itself (the enemies'
// dying animation does). One master shape is loaded per file; every object draws its own copy.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display.h"
#include "play/recycler.h"
#include "play/vector.h"

// The four-frame glow strip every shape line is drawn with; the game object sets it once at start-up.
void setShapeGlowPicture(Picture glowPicture);
// Every glow line in the arena is as wide and capped alike; only the strip's frame varies.
void drawGlowSegment(const Picture& strip, int frame, const TVector& from, const TVector& to);

struct TShapeLine {
    TVector start; // shape units relative to the shape's origin
    TVector end;
    float alpha = 1;
    int red = 0;
    int green = 0;
    int blue = 0;

    // The width is part of the file format but every line is drawn as a glow line of the one width.
    static TShapeLine create(float x1, float y1, float x2, float y2, float width, int red, int green,
                             int blue);
    // At the positions as stored: the caller's drawing origin places the shape on screen.
    void draw(int frame) const;
};

class TShape;
using Shape = std::shared_ptr<TShape>;
// Recycled: every enemy that enters copies its kind's outline, and one that breaks up gives it back.
using TShapeLines = std::vector<TShapeLine, TRecycler<TShapeLine>>;

class TShape {
public:
    std::string id;
    TShapeLines sourceLines; // as loaded, in file order
    TShapeLines drawnLines;  // one per source line, same order: turned and scaled
    float scale = 1;
    TVector heading{1, 0};     // (1, 0) leaves the shape as drawn in its file
    bool needsRotation = true; // owners set it after changing heading
    bool visible = true;

    // An empty path gives an empty shape.
    static Shape create(std::string_view path);

    virtual ~TShape() = default;
    // Starts from the source lines, so whatever an owner did to its drawn lines is not carried over.
    virtual Shape copy() const;
    virtual void draw(int frame);
    virtual void rotateLines();
    virtual void setScale(float newScale);
    virtual void changeScale(float change);
    virtual void load(std::string_view path);
};
