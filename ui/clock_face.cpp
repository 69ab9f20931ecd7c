#include "ui/clock_face.h"

#include <algorithm>
#include <cmath>

ClockTime clock_time(int seconds) {
    return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

HandAngles hand_angles(int seconds) {
    const ClockTime time = clock_time(seconds);
    return {time.hours * 30 % 360 + time.minutes / 2, time.minutes * 6, time.seconds * 6};
}

LogicalPoint hand_end(int degrees, int length, int centre_x) {
    const double radians = degrees * DEGREES_TO_RADIANS;
    return {static_cast<int>(std::sin(radians) * length + centre_x),
            static_cast<int>(std::cos(radians) * length)};
}

ClockHands clock_hands(int seconds, int centre_x) {
    const HandAngles angles = hand_angles(seconds);
    return {{centre_x, 0},
            hand_end(angles.hour, HOUR_HAND_LENGTH, centre_x),
            hand_end(angles.minute, MINUTE_HAND_LENGTH, centre_x),
            hand_end(angles.second, SECOND_HAND_LENGTH, centre_x)};
}

std::array<LogicalRect, 12> face_dots(int centre_x) {
    std::array<LogicalRect, 12> dots{};
    for (int i = 0; i < 12; ++i) {
        const LogicalPoint on_circle = hand_end(i * 30, DOT_RADIUS, centre_x);
        const LogicalPoint corner{on_circle.x - DOT_SIZE / 2, on_circle.y - DOT_SIZE / 2};
        dots[i] = {corner, {corner.x + DOT_SIZE, corner.y + DOT_SIZE}};
    }
    return dots;
}

TickErase tick_erase(int last_drawn, int now) {
    return {last_drawn / 60 != now / 60, true};
}

ClockMapping clock_mapping(int width, int height) {
    const int half_width = width / 2;
    const int half_height = height / 2;
    // Isotropic: the smaller half fixes the scale of both axes.
    const int half = std::max(std::min(half_width, half_height), 0);
    return {half_width, half_height, static_cast<double>(half) / CLOCK_WINDOW_EXTENT};
}
