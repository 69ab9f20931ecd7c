#pragma once
// The 48 local patterns of the evaluation: small formations on the wings and in the
// centre, each worth a fixed number of points from White's point of view.

#include <array>

#include "engine/board/board.h"

// A rule fires when every square of each mask holds that kind of piece (for `empty`:
// no piece at all). The masks of one rule are disjoint.
struct PatternRule {
    Bitboard white_men = 0;
    Bitboard white_kings = 0;
    Bitboard black_men = 0;
    Bitboard black_kings = 0;
    Bitboard empty = 0;
    int value = 0;
};

inline constexpr int PATTERN_RULE_COUNT = 48;

// In the numbering of the rule list (rule n is entry n - 1).
extern const std::array<PatternRule, PATTERN_RULE_COUNT> PATTERN_RULES;

constexpr bool pattern_fires(const PatternRule& rule, const Board& board) {
    return (board.white_men & rule.white_men) == rule.white_men &&
           (board.white_kings & rule.white_kings) == rule.white_kings &&
           (board.black_men & rule.black_men) == rule.black_men &&
           (board.black_kings & rule.black_kings) == rule.black_kings &&
           (board.empty & rule.empty) == rule.empty;
}

// Sum of the values of all rules that fire: White's view, before any halving.
int pattern_score(const Board& board);
