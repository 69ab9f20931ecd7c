#pragma once
// The Clock window's arithmetic: two analogue clocks in one isotropic logical space.
//
// The logical space is 1000 x 1000 units on either side of the client centre, y growing
// upward, scaled by the same factor along both axes so that the faces stay round. White's
// clock stands at x = -2000, Black's at x = +2000; the hour dots lie on radius 900, so
// they begin at radius 850, beyond the longest hand (800). Erasing a hand with the
// background pen therefore never touches a dot.
//
// Angles are degrees clockwise from 12 o'clock, turned into radians with the program's
// own factor (3.14159 / 180) and truncated toward zero to whole logical units, so the
// same time always gives the same pixels: a hand drawn in the background colour at the
// old time erases exactly what was drawn there.

#include <array>

inline constexpr double DEGREES_TO_RADIANS = 0.01745327777777778;

inline constexpr int CLOCK_WINDOW_EXTENT = 1000;
inline constexpr int WHITE_CLOCK_X = -2000;
inline constexpr int BLACK_CLOCK_X = 2000;
inline constexpr int DOT_RADIUS = 900;
inline constexpr int DOT_SIZE = 100;
inline constexpr int HOUR_HAND_LENGTH = 600;
inline constexpr int MINUTE_HAND_LENGTH = 800;
inline constexpr int SECOND_HAND_LENGTH = 800;

struct LogicalPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const LogicalPoint&, const LogicalPoint&) = default;
};

// A dot of the face: the ellipse bounded by two corners.
struct LogicalRect {
    LogicalPoint corner;
    LogicalPoint opposite;
};

// Hours, minutes and seconds of a clock value in whole seconds.
struct ClockTime {
    int hours = 0;
    int minutes = 0;  // 0-59
    int seconds = 0;  // 0-59
};
ClockTime clock_time(int seconds);

// Degrees of the three hands. The hour hand moves on by half a degree a minute; after
// twelve hours it starts round again.
struct HandAngles {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
HandAngles hand_angles(int seconds);

// (trunc(sin A * length + centre_x), trunc(cos A * length)).
LogicalPoint hand_end(int degrees, int length, int centre_x);

struct ClockHands {
    LogicalPoint centre;
    LogicalPoint hour;
    LogicalPoint minute;
    LogicalPoint second;
};
ClockHands clock_hands(int seconds, int centre_x);

// The twelve hour dots, at 0, 30, ..., 330 degrees.
std::array<LogicalRect, 12> face_dots(int centre_x);

// What a clock tick erases before it draws all three hands at the new value: the second
// hand always, the hour and minute hands only when the minute has changed.
struct TickErase {
    bool hour_and_minute = false;
    bool second = true;
};
TickErase tick_erase(int last_drawn, int now);

// The isotropic mapping for a client area of width x height pixels: the origin at the
// client centre (integer halves), one scale for both axes, y pointing up. A logical
// point (x, y) lands on the pixel (origin_x + x * scale, origin_y - y * scale).
struct ClockMapping {
    int origin_x = 0;
    int origin_y = 0;
    double scale = 0.0;
};
ClockMapping clock_mapping(int width, int height);
