// The strong evaluation's weights, written by vantor-tune fit from 2630836 positions
// (292315 more held out) of self-play games: sigmoid scale K 112.9, mean squared error
// 0.078456 before (the compiled values) and 0.074799 after 300 iterations (held out 0.077905, 0.075265);
// learning rate 1, penalty 2e-08.
// Eighths of a point (a man is about 800); opening weights apply with all 40 men
// on the board, endgame weights with none, and the two blend by the men left.

#include "engine/knowledge/strong_eval.h"

// clang-format off
const StrongWeights STRONG_WEIGHTS = {
    // opening
    {{
        1340,    // men
        2663,    // kings
        -483,    // men, both sides with kings
        -1317,   // kings, both sides with kings
        18,      // lead amplifier
        601,     // free paths
        23,      // back square
        158,     // centre
        -9,      // wing balance
        -62,     // tempo
        32,      // left-right balance
        -60,     // back rank
        -14,     // outposts
        27,      // locked men
        166,     // king mobility
        -22,     // kings on the long diagonal
        294,     // runaway, rows to go 1
        56,      // runaway, rows to go 2
        65,      // runaway, rows to go 3
        93,      // runaway, rows to go 4
        -21,     // pattern pair 1/2
        43,      // pattern pair 3/4
        236,     // pattern pair 5/6
        78,      // pattern pair 7/8
        310,     // pattern pair 9/10
        129,     // pattern pair 11/12
        -113,    // pattern pair 13/14
        89,      // pattern pair 15/16
        -87,     // pattern pair 17/18
        -163,    // pattern pair 19/20
        21,      // pattern pair 21/22
        -118,    // pattern pair 23/24
        240,     // pattern pair 25/26
        575,     // pattern pair 27/28
        98,      // pattern pair 29/30
        -290,    // pattern pair 31/32
        -244,    // pattern pair 33/34
        -32,     // pattern pair 35/36
        108,     // pattern pair 37/38
        -48,     // pattern pair 39/40
        -62,     // pattern pair 41/42
        -218,    // pattern pair 43/48
        -243,    // pattern pair 44/47
        -234,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        -8,      // man square 6
        65,      // man square 7
        13,      // man square 8
        -10,     // man square 9
        101,     // man square 10
        52,      // man square 11
        17,      // man square 12
        -19,     // man square 13
        -9,      // man square 14
        -392,    // man square 15
        -205,    // man square 16
        -171,    // man square 17
        -177,    // man square 18
        -36,     // man square 19
        -20,     // man square 20
        -44,     // man square 21
        -101,    // man square 22
        38,      // man square 23
        -8,      // man square 24
        290,     // man square 25
        148,     // man square 26
        61,      // man square 27
        122,     // man square 28
        78,      // man square 29
        106,     // man square 30
        122,     // man square 31
        27,      // man square 32
        94,      // man square 33
        91,      // man square 34
        96,      // man square 35
        68,      // man square 36
        60,      // man square 37
        53,      // man square 38
        -29,     // man square 39
        108,     // man square 40
        20,      // man square 41
        -107,    // man square 42
        0,       // man square 43
        51,      // man square 44
        58,      // man square 45
        29,      // man square 46
        91,      // man square 47
        7,       // man square 48
        -105,    // man square 49
        -84,     // man square 50
    }},
    // endgame
    {{
        712,     // men
        2831,    // kings
        -249,    // men, both sides with kings
        -1117,   // kings, both sides with kings
        -24,     // lead amplifier
        -52,     // free paths
        26,      // back square
        51,      // centre
        28,      // wing balance
        41,      // tempo
        36,      // left-right balance
        74,      // back rank
        -162,    // outposts
        6,       // locked men
        -11,     // king mobility
        -23,     // kings on the long diagonal
        296,     // runaway, rows to go 1
        187,     // runaway, rows to go 2
        175,     // runaway, rows to go 3
        109,     // runaway, rows to go 4
        59,      // pattern pair 1/2
        40,      // pattern pair 3/4
        115,     // pattern pair 5/6
        96,      // pattern pair 7/8
        135,     // pattern pair 9/10
        130,     // pattern pair 11/12
        -116,    // pattern pair 13/14
        90,      // pattern pair 15/16
        -85,     // pattern pair 17/18
        -138,    // pattern pair 19/20
        -80,     // pattern pair 21/22
        -120,    // pattern pair 23/24
        240,     // pattern pair 25/26
        375,     // pattern pair 27/28
        97,      // pattern pair 29/30
        -216,    // pattern pair 31/32
        -228,    // pattern pair 33/34
        -38,     // pattern pair 35/36
        -96,     // pattern pair 37/38
        -18,     // pattern pair 39/40
        39,      // pattern pair 41/42
        -197,    // pattern pair 43/48
        -246,    // pattern pair 44/47
        -232,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        -279,    // man square 6
        80,      // man square 7
        -51,     // man square 8
        -60,     // man square 9
        165,     // man square 10
        95,      // man square 11
        17,      // man square 12
        38,      // man square 13
        124,     // man square 14
        -188,    // man square 15
        -119,    // man square 16
        99,      // man square 17
        12,      // man square 18
        82,      // man square 19
        -64,     // man square 20
        38,      // man square 21
        78,      // man square 22
        178,     // man square 23
        154,     // man square 24
        -136,    // man square 25
        -56,     // man square 26
        67,      // man square 27
        37,      // man square 28
        2,       // man square 29
        -64,     // man square 30
        -138,    // man square 31
        16,      // man square 32
        -11,     // man square 33
        36,      // man square 34
        -75,     // man square 35
        -145,    // man square 36
        27,      // man square 37
        -41,     // man square 38
        -15,     // man square 39
        -27,     // man square 40
        -90,     // man square 41
        88,      // man square 42
        -33,     // man square 43
        43,      // man square 44
        -58,     // man square 45
        -72,     // man square 46
        111,     // man square 47
        10,      // man square 48
        -18,     // man square 49
        45,      // man square 50
    }},
};
// clang-format on
