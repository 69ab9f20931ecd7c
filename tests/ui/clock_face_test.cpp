// The Clock window's arithmetic: hand angles, hand and dot positions, what a tick
// erases, and the isotropic mapping.

#include "ui/clock_face.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ClockFace, SplitsSecondsIntoHoursMinutesSeconds) {
    const ClockTime time = clock_time(3723);
    EXPECT_EQ(time.hours, 1);
    EXPECT_EQ(time.minutes, 2);
    EXPECT_EQ(time.seconds, 3);
    EXPECT_EQ(clock_time(59).minutes, 0);
    EXPECT_EQ(clock_time(60).minutes, 1);
    EXPECT_EQ(clock_time(3600 + 59 * 60 + 59).minutes, 59);
}

TEST(ClockFace, HandAnglesAtOneHourTwoMinutesThreeSeconds) {
    const HandAngles angles = hand_angles(3723);
    EXPECT_EQ(angles.hour, 31);
    EXPECT_EQ(angles.minute, 12);
    EXPECT_EQ(angles.second, 18);
}

TEST(ClockFace, HourHandCreepsHalfADegreeAMinuteAndWrapsAfterTwelveHours) {
    EXPECT_EQ(hand_angles(0).hour, 0);
    EXPECT_EQ(hand_angles(59 * 60).hour, 29);  // 59 div 2
    EXPECT_EQ(hand_angles(11 * 3600 + 59 * 60).hour, 359);
    EXPECT_EQ(hand_angles(12 * 3600).hour, 0);
    EXPECT_EQ(hand_angles(13 * 3600 + 30 * 60).hour, 45);
}

TEST(ClockFace, HandEndsAreTruncatedTowardZero) {
    // 12 o'clock, 3, 6 and 9 from White's centre.
    EXPECT_EQ(hand_end(0, 800, WHITE_CLOCK_X), (LogicalPoint{-2000, 800}));
    EXPECT_EQ(hand_end(90, 800, WHITE_CLOCK_X), (LogicalPoint{-1200, 0}));
    // cos 90 degrees with the factor 3.14159/180 is a hair above 0: still 0 after
    // truncation; sin 180 degrees is a hair above 0 as well.
    EXPECT_EQ(hand_end(180, 800, BLACK_CLOCK_X), (LogicalPoint{2000, -799}));
    EXPECT_EQ(hand_end(270, 800, BLACK_CLOCK_X), (LogicalPoint{1200, 0}));
    // 18 degrees: sin = 0.30901..., cos = 0.95105... -> 247.2 and 760.8.
    EXPECT_EQ(hand_end(18, 800, 0), (LogicalPoint{247, 760}));
    // A negative product truncates toward zero, not down: sin 200 degrees x 600 = -205.2.
    EXPECT_EQ(hand_end(200, 600, 0).x, -205);
    EXPECT_EQ(hand_end(200, 600, 0).y, -563);
}

TEST(ClockFace, HandsOfOneClockStartAtItsCentre) {
    const ClockHands hands = clock_hands(3723, BLACK_CLOCK_X);
    EXPECT_EQ(hands.centre, (LogicalPoint{2000, 0}));
    EXPECT_EQ(hands.hour, hand_end(31, HOUR_HAND_LENGTH, 2000));
    EXPECT_EQ(hands.minute, hand_end(12, MINUTE_HAND_LENGTH, 2000));
    EXPECT_EQ(hands.second, hand_end(18, SECOND_HAND_LENGTH, 2000));
    EXPECT_EQ(hands.second, (LogicalPoint{2247, 760}));
}

TEST(ClockFace, DotsSitOnRadius900AndStayClearOfTheHands) {
    const auto dots = face_dots(WHITE_CLOCK_X);
    EXPECT_EQ(dots[0].corner, (LogicalPoint{-2050, 850}));
    EXPECT_EQ(dots[0].opposite, (LogicalPoint{-1950, 950}));
    EXPECT_EQ(dots[3].corner, (LogicalPoint{-1100 - 50, 0 - 50}));
    for (const LogicalRect& dot : dots) {
        EXPECT_EQ(dot.opposite.x - dot.corner.x, DOT_SIZE);
        EXPECT_EQ(dot.opposite.y - dot.corner.y, DOT_SIZE);
        // The nearest point of each dot lies beyond the longest hand.
        const double cx = (dot.corner.x + dot.opposite.x) / 2.0 - WHITE_CLOCK_X;
        const double cy = (dot.corner.y + dot.opposite.y) / 2.0;
        EXPECT_GT(std::hypot(cx, cy) - DOT_SIZE / 2.0, MINUTE_HAND_LENGTH);
    }
}

TEST(ClockTick, CrossingAMinuteErasesAllThreeHands) {
    EXPECT_TRUE(tick_erase(59, 60).hour_and_minute);
    EXPECT_TRUE(tick_erase(59, 60).second);
    EXPECT_TRUE(tick_erase(3599, 3600).hour_and_minute);
    // A tick that skips seconds but stays in the minute.
    EXPECT_FALSE(tick_erase(61, 65).hour_and_minute);
}

TEST(ClockTick, OtherTicksEraseOnlyTheSecondHand) {
    for (int t = 0; t < 3 * 60; ++t) {
        const TickErase erase = tick_erase(t, t + 1);
        EXPECT_TRUE(erase.second);
        EXPECT_EQ(erase.hour_and_minute, (t + 1) % 60 == 0) << t;
    }
}

TEST(ClockMapping, OriginAtTheCentreAndOneScaleForBothAxes) {
    const ClockMapping wide = clock_mapping(165, 50);
    EXPECT_EQ(wide.origin_x, 82);
    EXPECT_EQ(wide.origin_y, 25);
    EXPECT_DOUBLE_EQ(wide.scale, 0.025);  // the height is the smaller half
    const ClockMapping tall = clock_mapping(100, 400);
    EXPECT_DOUBLE_EQ(tall.scale, 0.05);
    EXPECT_DOUBLE_EQ(clock_mapping(0, 0).scale, 0.0);
}

TEST(ClockMapping, BothClocksFitTheDesignedWindow) {
    // The Clock window's client area at its designed size of 175 x 75.
    const ClockMapping mapping = clock_mapping(167, 48);
    const double reach = (BLACK_CLOCK_X + DOT_RADIUS + DOT_SIZE / 2) * mapping.scale;
    EXPECT_LE(mapping.origin_x + reach, 167);
    EXPECT_GE(mapping.origin_x - reach, 0);
    EXPECT_LE((DOT_RADIUS + DOT_SIZE / 2) * mapping.scale, mapping.origin_y);
}
