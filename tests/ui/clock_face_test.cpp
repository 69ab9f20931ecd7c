// The Clock window's arithmetic: hand angles, hand and dot positions, what a tick
// erases, and the isotropic mapping.

#include "ui/clock_face.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ClockFace, HandAnglesAtOneHourTwoMinutesThreeSeconds) {
    const HandAngles angles = hand_angles(3723);
    EXPECT_EQ(angles.hour, 31);
    EXPECT_EQ(angles.minute, 12);
    EXPECT_EQ(angles.second, 18);
    // The hour hand creeps half a degree a minute and starts again after twelve hours.
    EXPECT_EQ(hand_angles(11 * 3600 + 59 * 60).hour, 359);
    EXPECT_EQ(hand_angles(13 * 3600 + 30 * 60).hour, 45);
}

// The same time must give the same pixels, so that a hand drawn in the background colour
// erases exactly what was drawn: ends are truncated toward zero. Nor does erasing touch
// a dot: each lies beyond the longest hand.
TEST(ClockFace, HandEndsAreTruncatedTowardZeroAndDotsLieBeyondThem) {
    // cos 90 and sin 180 degrees with the factor 3.14159/180 are a hair above 0.
    EXPECT_EQ(hand_end(90, 800, WHITE_CLOCK_X), (LogicalPoint{-1200, 0}));
    EXPECT_EQ(hand_end(180, 800, BLACK_CLOCK_X), (LogicalPoint{2000, -799}));
    // sin 200 degrees x 600 = -205.2 truncates to -205, not -206.
    EXPECT_EQ(hand_end(200, 600, 0), (LogicalPoint{-205, -563}));
    const ClockHands hands = clock_hands(3723, BLACK_CLOCK_X);
    EXPECT_EQ(hands.centre, (LogicalPoint{2000, 0}));
    EXPECT_EQ(hands.minute, hand_end(12, MINUTE_HAND_LENGTH, 2000));
    EXPECT_EQ(hands.second, (LogicalPoint{2247, 760}));

    for (const LogicalRect& dot : face_dots(WHITE_CLOCK_X)) {
        EXPECT_EQ(dot.opposite.x - dot.corner.x, DOT_SIZE);
        EXPECT_EQ(dot.opposite.y - dot.corner.y, DOT_SIZE);
        const double cx = (dot.corner.x + dot.opposite.x) / 2.0 - WHITE_CLOCK_X;
        const double cy = (dot.corner.y + dot.opposite.y) / 2.0;
        EXPECT_NEAR(std::hypot(cx, cy), DOT_RADIUS, 1.0);
        EXPECT_GT(std::hypot(cx, cy) - DOT_SIZE / 2.0, MINUTE_HAND_LENGTH);
    }
}

TEST(ClockFace, OnlyAMinuteCrossingErasesTheHourAndMinuteHands) {
    for (int t = 0; t < 3 * 60; ++t) {
        const TickErase erase = tick_erase(t, t + 1);
        EXPECT_TRUE(erase.second);
        EXPECT_EQ(erase.hour_and_minute, (t + 1) % 60 == 0) << t;
    }
    EXPECT_TRUE(tick_erase(58, 61).hour_and_minute);
    EXPECT_FALSE(tick_erase(61, 65).hour_and_minute);  // skipped seconds, same minute
}

TEST(ClockFace, MappingCentredWithOneScaleAndBothClocksFit) {
    const ClockMapping wide = clock_mapping(165, 50);
    EXPECT_EQ(wide.origin_x, 82);
    EXPECT_EQ(wide.origin_y, 25);
    EXPECT_DOUBLE_EQ(wide.scale, 0.025);  // the height is the smaller half
    EXPECT_DOUBLE_EQ(clock_mapping(100, 400).scale, 0.05);
    // The Clock window's client area at its designed size.
    const ClockMapping mapping = clock_mapping(167, 48);
    const double reach = (BLACK_CLOCK_X + DOT_RADIUS + DOT_SIZE / 2) * mapping.scale;
    EXPECT_LE(mapping.origin_x + reach, 167);
    EXPECT_GE(mapping.origin_x - reach, 0);
    EXPECT_LE((DOT_RADIUS + DOT_SIZE / 2) * mapping.scale, mapping.origin_y);
}
