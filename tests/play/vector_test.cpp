#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "play/vector.h"

namespace {

void expectNear(const TVector& v, float x, float y) {
    EXPECT_NEAR(v.x, x, 1e-5) << v.toString();
    EXPECT_NEAR(v.y, y, 1e-5) << v.toString();
}

TEST(VectorRotate, PositiveDegreesTurnCounterClockwiseOnScreen) {
    expectNear(TVector{1, 0}.rotate(90), 0, -1);
    expectNear(TVector{0, -1}.rotate(90), -1, 0);
    expectNear(TVector{1, 0}.rotate(-90), 0, 1);
    // Both new components come from the vector as it was before the turn.
    expectNear(TVector{3, 4}.rotate(90), 4, -3);
}

TEST(VectorAngleTo, CoversTheCompassWithinZeroTo360) {
    const TVector origin{100, 100};
    EXPECT_FLOAT_EQ(origin.angleTo({200, 100}), 0);
    EXPECT_FLOAT_EQ(origin.angleTo({100, 200}), 90);
    EXPECT_FLOAT_EQ(origin.angleTo({0, 100}), 180);
    EXPECT_FLOAT_EQ(origin.angleTo({100, 0}), 270);
    // atan2 gives a tiny negative angle here, and adding 360 to it rounds to 360 in float.
    const float nearlyFlat = TVector{}.angleTo({1000, -0.0001f});
    EXPECT_GE(nearlyFlat, 0);
    EXPECT_LT(nearlyFlat, 360);
}

TEST(VectorAngleBetween, SignFollowsTheTurnOnScreen) {
    const TVector right{1, 0};
    EXPECT_NEAR(right.angleBetween({0, 1}), 90, 1e-4);
    EXPECT_NEAR(right.angleBetween({0, -1}), -90, 1e-4);
    EXPECT_NEAR(right.angleBetween({-1, 0}), 180, 1e-4);
    // A rounded unit vector dotted with itself can come out a hair above 1: still no NaN.
    const TVector slanted = TVector{1, 3}.normalize();
    EXPECT_NEAR(slanted.angleBetween(slanted), 0, 0.05);
}

TEST(VectorNormalize, UnitLengthAndZeroStaysZero) {
    expectNear(TVector{3, -4}.normalize(), 0.6f, -0.8f);
    const TVector zero = TVector{}.normalize();
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
}

// The value forms must give the very bits of the in-place forms: the craft's shots are aimed with them,
// and a replay recorded before them has to play on to the last bit.
TEST(VectorValueForms, GiveTheBitsOfTheInPlaceForms) {
    const auto sameBits = [](const TVector& a, const TVector& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    };
    const TVector samples[] = {
        {0, 0}, {-0.0f, 0}, {3, -4}, {0.1f, 0.7f}, {1e-40f, -2e-39f}, {-830.25f, 1e30f}, {123.456f, -0.001f}};
    for (const TVector& a : samples) {
        EXPECT_TRUE(sameBits(-a, TVector(a).negate())) << a.toString();
        EXPECT_TRUE(sameBits(a.normalized(), TVector(a).normalize())) << a.toString();
        for (const float turn : {-45.0f, 5.0f, 12.0f})
            EXPECT_TRUE(sameBits(a.rotated(turn), TVector(a).rotate(turn))) << a.toString() << " by " << turn;
        for (const float factor : {0.0f, -1.5f, 1100.0f})
            EXPECT_TRUE(sameBits(a * factor, TVector(a).scale(factor)))
                << a.toString() << " times " << factor;
        for (const TVector& b : samples) {
            EXPECT_TRUE(sameBits(a + b, TVector(a).add(b))) << a.toString() << " + " << b.toString();
            EXPECT_TRUE(sameBits(a - b, TVector(a).subtract(b))) << a.toString() << " - " << b.toString();
        }
    }
}

TEST(VectorText, ComponentsJoinedByComma) {
    EXPECT_EQ((TVector{1.5f, -2}).toString(), "1.5,-2");
    EXPECT_FALSE((TVector{1, 2}).equals({std::nextafter(1.0f, 2.0f), 2}));
}

} // namespace
