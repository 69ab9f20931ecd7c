// The strong evaluation's weights, written by vantor-tune fit from 320472 positions
// (35608 more held out) of self-play games: sigmoid scale K 104.6, mean squared error
// 0.071211 before (the compiled values) and 0.069994 after 300 iterations (held out 0.063458, 0.062685);
// learning rate 1, penalty 2e-08.
// Eighths of a point (a man is about 800); opening weights apply with all 40 men
// on the board, endgame weights with none, and the two blend by the men left.

#include "engine/knowledge/strong_eval.h"

// clang-format off
const StrongWeights STRONG_WEIGHTS = {
    // opening
    {{
        1331,    // men
        2708,    // kings
        -475,    // men, both sides with kings
        -1311,   // kings, both sides with kings
        18,      // lead amplifier
        612,     // free paths
        -4,      // back square
        145,     // centre
        -14,     // wing balance
        -62,     // tempo
        20,      // left-right balance
        -39,     // back rank
        7,       // outposts
        10,      // locked men
        182,     // king mobility
        -7,      // kings on the long diagonal
        316,     // runaway, rows to go 1
        39,      // runaway, rows to go 2
        96,      // runaway, rows to go 3
        138,     // runaway, rows to go 4
        -72,     // pattern pair 1/2
        27,      // pattern pair 3/4
        250,     // pattern pair 5/6
        48,      // pattern pair 7/8
        447,     // pattern pair 9/10
        150,     // pattern pair 11/12
        -115,    // pattern pair 13/14
        93,      // pattern pair 15/16
        -83,     // pattern pair 17/18
        -162,    // pattern pair 19/20
        -10,     // pattern pair 21/22
        -112,    // pattern pair 23/24
        240,     // pattern pair 25/26
        569,     // pattern pair 27/28
        80,      // pattern pair 29/30
        -307,    // pattern pair 31/32
        -208,    // pattern pair 33/34
        -28,     // pattern pair 35/36
        99,      // pattern pair 37/38
        -64,     // pattern pair 39/40
        43,      // pattern pair 41/42
        -211,    // pattern pair 43/48
        -241,    // pattern pair 44/47
        -228,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        5,       // man square 6
        86,      // man square 7
        18,      // man square 8
        -17,     // man square 9
        109,     // man square 10
        48,      // man square 11
        36,      // man square 12
        -28,     // man square 13
        -43,     // man square 14
        -507,    // man square 15
        -194,    // man square 16
        -149,    // man square 17
        -194,    // man square 18
        12,      // man square 19
        47,      // man square 20
        -56,     // man square 21
        -86,     // man square 22
        155,     // man square 23
        -65,     // man square 24
        225,     // man square 25
        139,     // man square 26
        80,      // man square 27
        170,     // man square 28
        90,      // man square 29
        68,      // man square 30
        124,     // man square 31
        24,      // man square 32
        86,      // man square 33
        94,      // man square 34
        43,      // man square 35
        78,      // man square 36
        83,      // man square 37
        11,      // man square 38
        -3,      // man square 39
        79,      // man square 40
        -4,      // man square 41
        -65,     // man square 42
        -26,     // man square 43
        52,      // man square 44
        49,      // man square 45
        -2,      // man square 46
        165,     // man square 47
        -20,     // man square 48
        -141,    // man square 49
        -42,     // man square 50
    }},
    // endgame
    {{
        697,     // men
        2859,    // kings
        -198,    // men, both sides with kings
        -1063,   // kings, both sides with kings
        -25,     // lead amplifier
        -41,     // free paths
        34,      // back square
        21,      // centre
        7,       // wing balance
        34,      // tempo
        41,      // left-right balance
        60,      // back rank
        -175,    // outposts
        9,       // locked men
        -20,     // king mobility
        76,      // kings on the long diagonal
        309,     // runaway, rows to go 1
        188,     // runaway, rows to go 2
        174,     // runaway, rows to go 3
        73,      // runaway, rows to go 4
        38,      // pattern pair 1/2
        36,      // pattern pair 3/4
        126,     // pattern pair 5/6
        87,      // pattern pair 7/8
        143,     // pattern pair 9/10
        157,     // pattern pair 11/12
        -114,    // pattern pair 13/14
        93,      // pattern pair 15/16
        -85,     // pattern pair 17/18
        -158,    // pattern pair 19/20
        -83,     // pattern pair 21/22
        -113,    // pattern pair 23/24
        240,     // pattern pair 25/26
        330,     // pattern pair 27/28
        89,      // pattern pair 29/30
        -238,    // pattern pair 31/32
        -181,    // pattern pair 33/34
        -31,     // pattern pair 35/36
        -71,     // pattern pair 37/38
        -58,     // pattern pair 39/40
        16,      // pattern pair 41/42
        -176,    // pattern pair 43/48
        -244,    // pattern pair 44/47
        -217,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        -267,    // man square 6
        60,      // man square 7
        -93,     // man square 8
        -52,     // man square 9
        187,     // man square 10
        73,      // man square 11
        68,      // man square 12
        72,      // man square 13
        112,     // man square 14
        -302,    // man square 15
        -179,    // man square 16
        138,     // man square 17
        34,      // man square 18
        69,      // man square 19
        -80,     // man square 20
        40,      // man square 21
        85,      // man square 22
        186,     // man square 23
        165,     // man square 24
        -77,     // man square 25
        -31,     // man square 26
        52,      // man square 27
        -12,     // man square 28
        16,      // man square 29
        -16,     // man square 30
        -99,     // man square 31
        5,       // man square 32
        22,      // man square 33
        82,      // man square 34
        -48,     // man square 35
        -125,    // man square 36
        -28,     // man square 37
        -27,     // man square 38
        -40,     // man square 39
        -20,     // man square 40
        -126,    // man square 41
        80,      // man square 42
        -46,     // man square 43
        17,      // man square 44
        -66,     // man square 45
        -75,     // man square 46
        -10,     // man square 47
        18,      // man square 48
        -11,     // man square 49
        139,     // man square 50
    }},
};
// clang-format on
