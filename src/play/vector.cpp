#include "play/vector.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

double degreesToRadians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

double radiansToDegrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

float TVector::length() const {
    return std::sqrt(x * x + y * y);
}

TVector& TVector::normalize() {
    const float size = length();
    if (size > 0) {
        x /= size;
        y /= size;
    }
    return *this;
}

float TVector::dot(const TVector& other) const {
    return x * other.x + y * other.y;
}

float TVector::angleBetween(const TVector& other) const {
    const double cosine = std::clamp(static_cast<double>(dot(other)), -1.0, 1.0);
    const auto degrees = static_cast<float>(radiansToDegrees(std::acos(cosine)));
    const float cross = x * other.y - y * other.x;
    return cross < 0 ? -degrees : degrees;
}

float TVector::distanceTo(const TVector& other) const {
    const float dx = other.x - x;
    const float dy = other.y - y;
    return std::sqrt(dx * dx + dy * dy);
}

float TVector::angleTo(const TVector& other) const {
    double degrees = radiansToDegrees(std::atan2(static_cast<double>(other.y - y), other.x - x));
    if (degrees < 0) degrees += 360.0;
    auto result = static_cast<float>(degrees);
    // A tiny negative angle plus 360 can round up to exactly 360 in float; it is the same direction as 0.
    return result >= 360.0f ? 0.0f : result;
}

TVector& TVector::subtract(const TVector& other) {
    x -= other.x;
    y -= other.y;
    return *this;
}

TVector& TVector::add(const TVector& other) {
    x += other.x;
    y += other.y;
    return *this;
}

TVector& TVector::set(float newX, float newY) {
    x = newX;
    y = newY;
    return *this;
}

TVector& TVector::scale(float factor) {
    x *= factor;
    y *= factor;
    return *this;
}

TVector& TVector::rotate(float degrees) {
    const double radians = degreesToRadians(degrees);
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double oldX = x;
    const double oldY = y;
    x = static_cast<float>(oldX * c + oldY * s);
    y = static_cast<float>(-oldX * s + oldY * c);
    return *this;
}

TVector& TVector::negate() {
    x = -x;
    y = -y;
    return *this;
}

std::string TVector::toString() const {
    // Shortest text that reads back to the same floats, so "1,2" rather than "1.000000,2.000000".
    char text[64];
#if defined(__cpp_lib_to_chars)
    char* end = std::to_chars(text, text + 30, x).ptr;
    *end++ = ',';
    end = std::to_chars(end, text + sizeof text, y).ptr;
    return std::string(text, end);
#else
    // A C++ library without floating-point to_chars (the browser build's): the fewest digits that read back.
    const auto shortest = [&text](float value) {
        for (int digits = 1;; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
            if (digits >= 9 || std::strtof(text, nullptr) == value) return std::string(text);
        }
    };
    return shortest(x) + "," + shortest(y);
#endif
}
