// The strong evaluation's weights, written by vantor-tune fit from 3534 positions
// (392 more held out) of self-play games: sigmoid scale K 172.8, mean squared error
// 0.112881 before (the designed values) and 0.112881 after 0 iterations (held out 0.105862, 0.105862).
// Eighths of a point (a man is about 800); opening weights apply with all 40 men
// on the board, endgame weights with none, and the two blend by the men left.

#include "engine/knowledge/strong_eval.h"

// clang-format off
const StrongWeights STRONG_WEIGHTS = {
    // opening
    {{
        800,     // men
        2560,    // kings
        -400,    // men, both sides with kings
        -1280,   // kings, both sides with kings
        0,       // lead amplifier
        80,      // free paths
        16,      // back square
        16,      // centre
        24,      // wing balance
        0,       // tempo
        0,       // left-right balance
        0,       // back rank
        0,       // outposts
        0,       // locked men
        0,       // king mobility
        0,       // kings on the long diagonal
        0,       // runaway, rows to go 1
        0,       // runaway, rows to go 2
        0,       // runaway, rows to go 3
        0,       // runaway, rows to go 4
        80,      // pattern pair 1/2
        40,      // pattern pair 3/4
        80,      // pattern pair 5/6
        80,      // pattern pair 7/8
        80,      // pattern pair 9/10
        40,      // pattern pair 11/12
        -80,     // pattern pair 13/14
        80,      // pattern pair 15/16
        -80,     // pattern pair 17/18
        -120,    // pattern pair 19/20
        -8,      // pattern pair 21/22
        -120,    // pattern pair 23/24
        240,     // pattern pair 25/26
        600,     // pattern pair 27/28
        80,      // pattern pair 29/30
        -160,    // pattern pair 31/32
        -240,    // pattern pair 33/34
        -40,     // pattern pair 35/36
        -40,     // pattern pair 37/38
        -40,     // pattern pair 39/40
        -40,     // pattern pair 41/42
        -240,    // pattern pair 43/48
        -240,    // pattern pair 44/47
        -240,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        0,       // man square 6
        0,       // man square 7
        0,       // man square 8
        0,       // man square 9
        0,       // man square 10
        0,       // man square 11
        0,       // man square 12
        0,       // man square 13
        0,       // man square 14
        0,       // man square 15
        0,       // man square 16
        0,       // man square 17
        0,       // man square 18
        0,       // man square 19
        0,       // man square 20
        0,       // man square 21
        0,       // man square 22
        0,       // man square 23
        0,       // man square 24
        0,       // man square 25
        0,       // man square 26
        0,       // man square 27
        0,       // man square 28
        0,       // man square 29
        0,       // man square 30
        0,       // man square 31
        0,       // man square 32
        0,       // man square 33
        0,       // man square 34
        0,       // man square 35
        0,       // man square 36
        0,       // man square 37
        0,       // man square 38
        0,       // man square 39
        0,       // man square 40
        0,       // man square 41
        0,       // man square 42
        0,       // man square 43
        0,       // man square 44
        0,       // man square 45
        0,       // man square 46
        0,       // man square 47
        0,       // man square 48
        0,       // man square 49
        0,       // man square 50
    }},
    // endgame
    {{
        800,     // men
        2560,    // kings
        -400,    // men, both sides with kings
        -1280,   // kings, both sides with kings
        0,       // lead amplifier
        80,      // free paths
        16,      // back square
        16,      // centre
        24,      // wing balance
        0,       // tempo
        0,       // left-right balance
        0,       // back rank
        0,       // outposts
        0,       // locked men
        0,       // king mobility
        0,       // kings on the long diagonal
        0,       // runaway, rows to go 1
        0,       // runaway, rows to go 2
        0,       // runaway, rows to go 3
        0,       // runaway, rows to go 4
        80,      // pattern pair 1/2
        40,      // pattern pair 3/4
        80,      // pattern pair 5/6
        80,      // pattern pair 7/8
        80,      // pattern pair 9/10
        40,      // pattern pair 11/12
        -80,     // pattern pair 13/14
        80,      // pattern pair 15/16
        -80,     // pattern pair 17/18
        -120,    // pattern pair 19/20
        -8,      // pattern pair 21/22
        -120,    // pattern pair 23/24
        240,     // pattern pair 25/26
        600,     // pattern pair 27/28
        80,      // pattern pair 29/30
        -160,    // pattern pair 31/32
        -240,    // pattern pair 33/34
        -40,     // pattern pair 35/36
        -40,     // pattern pair 37/38
        -40,     // pattern pair 39/40
        -40,     // pattern pair 41/42
        -240,    // pattern pair 43/48
        -240,    // pattern pair 44/47
        -240,    // pattern pair 45/46
        0,       // man square 1
        0,       // man square 2
        0,       // man square 3
        0,       // man square 4
        0,       // man square 5
        0,       // man square 6
        0,       // man square 7
        0,       // man square 8
        0,       // man square 9
        0,       // man square 10
        0,       // man square 11
        0,       // man square 12
        0,       // man square 13
        0,       // man square 14
        0,       // man square 15
        0,       // man square 16
        0,       // man square 17
        0,       // man square 18
        0,       // man square 19
        0,       // man square 20
        0,       // man square 21
        0,       // man square 22
        0,       // man square 23
        0,       // man square 24
        0,       // man square 25
        0,       // man square 26
        0,       // man square 27
        0,       // man square 28
        0,       // man square 29
        0,       // man square 30
        0,       // man square 31
        0,       // man square 32
        0,       // man square 33
        0,       // man square 34
        0,       // man square 35
        0,       // man square 36
        0,       // man square 37
        0,       // man square 38
        0,       // man square 39
        0,       // man square 40
        0,       // man square 41
        0,       // man square 42
        0,       // man square 43
        0,       // man square 44
        0,       // man square 45
        0,       // man square 46
        0,       // man square 47
        0,       // man square 48
        0,       // man square 49
        0,       // man square 50
    }},
};
// clang-format on
