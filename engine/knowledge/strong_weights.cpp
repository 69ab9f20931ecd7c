// The strong evaluation's weights, written by vantor-tune fit from 134651 positions
// (14961 more held out) of self-play games: sigmoid scale K 112.2, mean squared error
// 0.082500 before (the designed values) and 0.076257 after 300 iterations (held out 0.087035, 0.085351);
// learning rate 1, penalty 2e-08.
// Eighths of a point (a man is about 800); opening weights apply with all 40 men
// on the board, endgame weights with none, and the two blend by the men left.

#include "engine/knowledge/strong_eval.h"

// clang-format off
const StrongWeights STRONG_WEIGHTS = {
    // opening
    {{
        1162,    // men
        2647,    // kings
        -414,    // men, both sides with kings
        -1286,   // kings, both sides with kings
        22,      // lead amplifier
        457,     // free paths
        39,      // back square
        147,     // centre
        6,       // wing balance
        -46,     // tempo
        26,      // left-right balance
        -77,     // back rank
        -14,     // outposts
        2,       // locked men
        166,     // king mobility
        -4,      // kings on the long diagonal
        182,     // runaway, rows to go 1
        46,      // runaway, rows to go 2
        80,      // runaway, rows to go 3
        79,      // runaway, rows to go 4
        -28,     // pattern pair 1/2
        23,      // pattern pair 3/4
        184,     // pattern pair 5/6
        59,      // pattern pair 7/8
        277,     // pattern pair 9/10
        121,     // pattern pair 11/12
        -111,    // pattern pair 13/14
        90,      // pattern pair 15/16
        -82,     // pattern pair 17/18
        -154,    // pattern pair 19/20
        -6,      // pattern pair 21/22
        -120,    // pattern pair 23/24
        240,     // pattern pair 25/26
        576,     // pattern pair 27/28
        87,      // pattern pair 29/30
        -264,    // pattern pair 31/32
        -223,    // pattern pair 33/34
        -39,     // pattern pair 35/36
        108,     // pattern pair 37/38
        -40,     // pattern pair 39/40
        -60,     // pattern pair 41/42
        -221,    // pattern pair 43/48
        -241,    // pattern pair 44/47
        -240,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        2,       // man square 6
        43,      // man square 7
        1,       // man square 8
        -18,     // man square 9
        77,      // man square 10
        24,      // man square 11
        41,      // man square 12
        -12,     // man square 13
        -24,     // man square 14
        -215,    // man square 15
        -201,    // man square 16
        -87,     // man square 17
        -114,    // man square 18
        24,      // man square 19
        20,      // man square 20
        -126,    // man square 21
        -116,    // man square 22
        85,      // man square 23
        -56,     // man square 24
        180,     // man square 25
        148,     // man square 26
        4,       // man square 27
        103,     // man square 28
        81,      // man square 29
        39,      // man square 30
        115,     // man square 31
        -17,     // man square 32
        52,      // man square 33
        89,      // man square 34
        -17,     // man square 35
        47,      // man square 36
        53,      // man square 37
        30,      // man square 38
        26,      // man square 39
        91,      // man square 40
        -17,     // man square 41
        -31,     // man square 42
        -10,     // man square 43
        61,      // man square 44
        66,      // man square 45
        2,       // man square 46
        101,     // man square 47
        23,      // man square 48
        -128,    // man square 49
        -76,     // man square 50
    }},
    // endgame
    {{
        700,     // men
        2755,    // kings
        -249,    // men, both sides with kings
        -1133,   // kings, both sides with kings
        -20,     // lead amplifier
        15,      // free paths
        -30,     // back square
        -6,      // centre
        -10,     // wing balance
        29,      // tempo
        36,      // left-right balance
        151,     // back rank
        -129,    // outposts
        0,       // locked men
        -23,     // king mobility
        31,      // kings on the long diagonal
        335,     // runaway, rows to go 1
        72,      // runaway, rows to go 2
        159,     // runaway, rows to go 3
        70,      // runaway, rows to go 4
        53,      // pattern pair 1/2
        37,      // pattern pair 3/4
        99,      // pattern pair 5/6
        77,      // pattern pair 7/8
        123,     // pattern pair 9/10
        119,     // pattern pair 11/12
        -115,    // pattern pair 13/14
        90,      // pattern pair 15/16
        -83,     // pattern pair 17/18
        -141,    // pattern pair 19/20
        -110,    // pattern pair 21/22
        -120,    // pattern pair 23/24
        240,     // pattern pair 25/26
        382,     // pattern pair 27/28
        91,      // pattern pair 29/30
        -211,    // pattern pair 31/32
        -207,    // pattern pair 33/34
        -34,     // pattern pair 35/36
        -68,     // pattern pair 37/38
        27,      // pattern pair 39/40
        58,      // pattern pair 41/42
        -197,    // pattern pair 43/48
        -243,    // pattern pair 44/47
        -241,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        -161,    // man square 6
        117,     // man square 7
        -81,     // man square 8
        -34,     // man square 9
        134,     // man square 10
        48,      // man square 11
        41,      // man square 12
        19,      // man square 13
        22,      // man square 14
        -42,     // man square 15
        -238,    // man square 16
        109,     // man square 17
        -22,     // man square 18
        27,      // man square 19
        -27,     // man square 20
        10,      // man square 21
        46,      // man square 22
        151,     // man square 23
        114,     // man square 24
        -37,     // man square 25
        -28,     // man square 26
        22,      // man square 27
        27,      // man square 28
        43,      // man square 29
        -37,     // man square 30
        -133,    // man square 31
        34,      // man square 32
        8,       // man square 33
        49,      // man square 34
        -86,     // man square 35
        -145,    // man square 36
        -12,     // man square 37
        -47,     // man square 38
        -41,     // man square 39
        -24,     // man square 40
        -124,    // man square 41
        106,     // man square 42
        -65,     // man square 43
        74,      // man square 44
        -80,     // man square 45
        -102,    // man square 46
        147,     // man square 47
        -46,     // man square 48
        -41,     // man square 49
        194,     // man square 50
    }},
};
// clang-format on
