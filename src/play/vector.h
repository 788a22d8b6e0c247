// TVector: the mutable 2-D vector that every position, velocity and direction in the arena is made of.
//
// Screen units, x to the right and y downwards; angles in degrees. A vector is a plain value kept inside
// its owner (a particle, a shape segment); other objects hold references to it and change it in place, so
// the in-place operations return the receiver for chaining. The value forms (operators, `normalized`,
// `rotated`) take the same float steps in the same order as their in-place twins, so either form gives
// the same bits and a replay cannot tell them apart.
#pragma once

#include <string>

double degreesToRadians(double degrees);
double radiansToDegrees(double radians);

struct TVector {
    float x = 0;
    float y = 0;

    float length() const;
    // A zero vector has no direction: it is left unchanged rather than turned into NaNs, so callers that
    // may hold a zero vector test for it and skip whatever force the direction was for.
    TVector& normalize();
    float dot(const TVector& other) const;
    // Meant for two unit vectors (the dot product is clamped into acos's range). Positive when other lies
    // clockwise of this on the y-down screen: from (1, 0) to (0, 1) is +90, to (0, -1) is -90.
    float angleBetween(const TVector& other) const;
    float distanceTo(const TVector& other) const;
    // Direction from this point to other, in [0, 360): 0 to the right, 90 down, 270 straight up.
    float angleTo(const TVector& other) const;
    bool equals(const TVector& other) const { return x == other.x && y == other.y; }

    TVector& subtract(const TVector& other);
    TVector& add(const TVector& other);
    TVector& set(float newX, float newY);
    TVector& scale(float factor);
    // Positive degrees turn counter-clockwise on the y-down screen: (1, 0) by 90 becomes (0, -1).
    TVector& rotate(float degrees);
    TVector& negate();

    TVector operator+(const TVector& other) const { return {x + other.x, y + other.y}; }
    TVector operator-(const TVector& other) const { return {x - other.x, y - other.y}; }
    TVector operator-() const { return {-x, -y}; }
    TVector operator*(float factor) const { return {x * factor, y * factor}; }
    TVector normalized() const { return TVector(*this).normalize(); }
    TVector rotated(float degrees) const { return TVector(*this).rotate(degrees); }

    std::string toString() const; // "x,y"
};
