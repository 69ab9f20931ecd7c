#include "engine/knowledge/patterns.h"

#include <bit>
#include <cstdint>
#include <string_view>

namespace {

// The rules as squares, numbered as everywhere else: value, then white men, black men
// and empty squares, and the king squares of the two rules that name a king.
struct RuleSquares {
    int value;
    std::string_view white_men;
    std::string_view black_men;
    std::string_view empty;
    std::string_view white_kings = "";
    std::string_view black_kings = "";
};

constexpr RuleSquares RULE_SQUARES[PATTERN_RULE_COUNT] = {
    {+10, "26 27 31 36", "16 17 18 22", "21"},                    // 1
    {-10, "29 33 34 35", "15 20 24 25", "30"},                    // 2
    {+5, "27 31 36", "16 18 22", "21 26"},                        // 3
    {-5, "29 33 35", "15 20 24", "25 30"},                        // 4
    {+10, "27 28 31 33", "17 18 22", "21 23"},                    // 5
    {-10, "29 33 34", "18 20 23 24", "28 30"},                    // 6
    {+10, "28 29 32 34", "18 19 23", "22 24"},                    // 7
    {-10, "28 32 33", "17 19 22 23", "27 29"},                    // 8
    {+10, "26 27 32", "6 11 16 17 21", "22"},                     // 9
    {-10, "30 34 35 40 45", "19 24 25", "29"},                    // 10
    {+5, "25 30 35", "14 15 19 20 24", ""},                       // 11
    {-5, "27 31 32 36 37", "16 21 26", ""},                       // 12
    {-10, "27 31 32 37", "18 22 26", "36 41 46 47"},              // 13
    {+10, "25 29 33", "14 19 20 24", "4 5 10 15"},                // 14
    {+10, "29 33 35", "14 19 20 24 25", "3 4 5 9 10 15 30"},      // 15
    {-10, "26 27 31 32 37", "16 18 22", "21 36 41 42 46 47 48"},  // 16
    {-10, "32 36 37 38 41", "16 21 26 27", "31 46 47"},           // 17
    {+10, "24 25 30 35", "10 13 14 15 19", "4 5 20"},             // 18
    {-15, "27 29 31 34", "18 22 23", ""},                         // 19
    {+15, "28 29 33", "17 20 22 24", ""},                         // 20
    {-1, "46", "", ""},                                           // 21
    {+1, "", "5", ""},                                            // 22
    {-15, "29 33 34 35 40", "14 15 20 24 25", "45 50"},           // 23
    {+15, "26 27 31 36 37", "11 16 17 18 22", "1 6"},             // 24
    {+30, "29 33 39 40 44", "30 35", "14 15 20 25"},              // 25
    {-30, "16 21", "7 11 12 18 22", "26 31 36"},                  // 26
    {+75, "6", "", "2 7", "", "1"},                               // 27
    {-75, "", "45", "44 49", "50", ""},                           // 28
    {+10, "32 33 37 39", "22 23 28", "27 29"},                    // 29
    {-10, "23 28 29", "12 14 18 19", "22 24"},                    // 30
    {-20, "31 36 37 41", "26", "46"},                             // 31
    {+20, "25", "10 14 15 20", "5"},                              // 32
    {-30, "34 35 40", "24 25", "29 30 45 50"},                    // 33
    {+30, "26 27", "11 16 17", "1 6 21 22"},                      // 34
    {-5, "27 29", "7 9 12 13 18", "22 23 28"},                    // 35
    {+5, "33 38 39 42 44", "22 24", "23 28 29"},                  // 36
    {-5, "26", "", ""},                                           // 37
    {+5, "", "25", ""},                                           // 38
    {-5, "", "36", "47"},                                         // 39
    {+5, "15", "", "4"},                                          // 40
    {-5, "", "", "45 50"},                                        // 41
    {+5, "", "", "1 6"},                                          // 42
    {-30, "46 48", "37", "41 42 47"},                             // 43
    {-30, "47 49", "38", "42 43 48"},                             // 44
    {-30, "48 50", "39", "43 44 49"},                             // 45
    {+30, "12", "1 3", "2 7 8"},                                  // 46
    {+30, "13", "2 4", "3 8 9"},                                  // 47
    {+30, "14", "3 5", "4 9 10"},                                 // 48
};

// Bit 0 belongs to no square: a list with a stray character, a number outside 1-50 or
// a square named twice sets it, and the checks below then refuse to compile.
constexpr Bitboard BAD_LIST = 1;

constexpr Bitboard squares_mask(std::string_view list) {
    Bitboard mask = 0;
    int square = 0;
    int digits = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        const char c = i < list.size() ? list[i] : ' ';
        if (c >= '0' && c <= '9') {
            square = square * 10 + (c - '0');
            if (++digits > 2) return BAD_LIST;
        } else if (c != ' ') {
            return BAD_LIST;
        } else if (digits != 0) {
            if (square < 1 || square > 50) return BAD_LIST;
            const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[square]];
            if (mask & bit) return BAD_LIST;
            mask |= bit;
            square = 0;
            digits = 0;
        }
    }
    return mask;
}

constexpr std::array<PatternRule, PATTERN_RULE_COUNT> build_rules() {
    std::array<PatternRule, PATTERN_RULE_COUNT> rules{};
    for (int i = 0; i < PATTERN_RULE_COUNT; ++i) {
        const RuleSquares& r = RULE_SQUARES[i];
        rules[i] = {squares_mask(r.white_men), squares_mask(r.white_kings),
                    squares_mask(r.black_men), squares_mask(r.black_kings),
                    squares_mask(r.empty),     r.value};
    }
    return rules;
}

constexpr std::array<PatternRule, PATTERN_RULE_COUNT> RULES = build_rules();

// Square s <-> 51 - s is bit b <-> 68 - b in the board layout.
constexpr Bitboard mirrored(Bitboard b) {
    Bitboard m = 0;
    for (int s = 1; s <= 50; ++s) {
        if (b & BIT_MASK[SQUARE_TO_BIT[s]]) m |= BIT_MASK[SQUARE_TO_BIT[51 - s]];
    }
    return m;
}

constexpr bool rule_is_well_formed(const PatternRule& r) {
    const Bitboard masks[] = {r.white_men, r.white_kings, r.black_men, r.black_kings, r.empty};
    Bitboard seen = 0;
    for (Bitboard m : masks) {
        if ((m & ~SQUARE_BITS) != 0 || (m & seen) != 0) return false;
        seen |= m;
    }
    return seen != 0 && r.value != 0;
}

// Rules come in pairs that are each other's colour mirror with the sign reversed,
// except 25 and 26, which are not each other's mirror and are kept as listed.
constexpr bool has_mirror_rule(const PatternRule& r) {
    for (const PatternRule& q : RULES) {
        if (q.white_men == mirrored(r.black_men) && q.black_men == mirrored(r.white_men) &&
            q.white_kings == mirrored(r.black_kings) && q.black_kings == mirrored(r.white_kings) &&
            q.empty == mirrored(r.empty) && q.value == -r.value) {
            return true;
        }
    }
    return false;
}

constexpr bool rules_are_consistent() {
    for (int i = 0; i < PATTERN_RULE_COUNT; ++i) {
        if (!rule_is_well_formed(RULES[i])) return false;
        if (i != 24 && i != 25 && !has_mirror_rule(RULES[i])) return false;
    }
    return !has_mirror_rule(RULES[24]) && !has_mirror_rule(RULES[25]);
}

static_assert(rules_are_consistent());

}  // namespace

constexpr std::array<PatternRule, PATTERN_RULE_COUNT> PATTERN_RULES = RULES;

namespace {

// The hot-path form: since the masks of a rule are disjoint, a rule fires when the
// squares it names, each read in the set it asks for, give back all of its squares.
// Only rules 27 and 28 name a king; the other 46 are tested on the men and the empty
// squares alone.
constexpr int KING_RULE_COUNT = 2;
constexpr int MEN_RULE_COUNT = PATTERN_RULE_COUNT - KING_RULE_COUNT;
// Padded to a multiple of four with rules that ask nothing and are worth nothing, so
// that the loop below runs in whole vector steps; they add 0 to the sum.
constexpr int MEN_RULE_SLOTS = (MEN_RULE_COUNT + 3) / 4 * 4;

// One array per mask, and the values as 64-bit words like the masks: the loop then
// tests four rules per step in the vector unit, and its sum is the same.
struct SplitRules {
    std::array<Bitboard, MEN_RULE_SLOTS> white_men{}, black_men{}, empty{}, all{};
    std::array<std::int64_t, MEN_RULE_SLOTS> value{};
    std::array<PatternRule, KING_RULE_COUNT> with_kings{};
    bool complete = false;
};

constexpr SplitRules SPLIT_RULES = [] {
    SplitRules table;
    int men = 0;
    int kings = 0;
    for (const PatternRule& r : RULES) {
        if (r.white_kings | r.black_kings) {
            if (kings == KING_RULE_COUNT) return table;
            table.with_kings[kings++] = r;
            continue;
        }
        if (men == MEN_RULE_COUNT) return table;
        table.white_men[men] = r.white_men;
        table.black_men[men] = r.black_men;
        table.empty[men] = r.empty;
        table.all[men] = r.white_men | r.black_men | r.empty;
        table.value[men++] = r.value;
    }
    table.complete = men == MEN_RULE_COUNT && kings == KING_RULE_COUNT;
    return table;
}();
static_assert(SPLIT_RULES.complete);

}  // namespace

int pattern_score(const Board& board) {
    std::int64_t sum = 0;
    for (int i = 0; i < MEN_RULE_SLOTS; ++i) {
        const Bitboard held = (board.white_men & SPLIT_RULES.white_men[i]) |
                              (board.black_men & SPLIT_RULES.black_men[i]) |
                              (board.empty & SPLIT_RULES.empty[i]);
        // Masked rather than branched on: which rules fire is different at every leaf.
        sum += SPLIT_RULES.value[i] & -static_cast<std::int64_t>(held == SPLIT_RULES.all[i]);
    }
    for (const PatternRule& rule : SPLIT_RULES.with_kings)
        sum += pattern_fires(rule, board) ? rule.value : 0;
    return static_cast<int>(sum);
}
