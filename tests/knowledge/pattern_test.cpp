// The 48 local patterns, held to a copy of the rule list kept apart from the engine's.
#include "engine/knowledge/patterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/board/board.h"

namespace {

// The rule list written out again, apart from the engine's own copy: w white men,
// b black men, e empty, W a white king, B a black king.
struct ListedRule {
    int number;
    int value;
    const char* squares;
};

constexpr ListedRule RULE_LIST[] = {
    {1, 10, "w26,27,31,36 b16,17,18,22 e21"},
    {2, -10, "w29,33,34,35 b15,20,24,25 e30"},
    {3, 5, "w27,31,36 b16,18,22 e21,26"},
    {4, -5, "w29,33,35 b15,20,24 e25,30"},
    {5, 10, "w27,28,31,33 b17,18,22 e21,23"},
    {6, -10, "w29,33,34 b18,20,23,24 e28,30"},
    {7, 10, "w28,29,32,34 b18,19,23 e22,24"},
    {8, -10, "w28,32,33 b17,19,22,23 e27,29"},
    {9, 10, "w26,27,32 b6,11,16,17,21 e22"},
    {10, -10, "w30,34,35,40,45 b19,24,25 e29"},
    {11, 5, "w25,30,35 b14,15,19,20,24"},
    {12, -5, "w27,31,32,36,37 b16,21,26"},
    {13, -10, "w27,31,32,37 b18,22,26 e36,41,46,47"},
    {14, 10, "w25,29,33 b14,19,20,24 e4,5,10,15"},
    {15, 10, "w29,33,35 b14,19,20,24,25 e3,4,5,9,10,15,30"},
    {16, -10, "w26,27,31,32,37 b16,18,22 e21,36,41,42,46,47,48"},
    {17, -10, "w32,36,37,38,41 b16,21,26,27 e31,46,47"},
    {18, 10, "w24,25,30,35 b10,13,14,15,19 e4,5,20"},
    {19, -15, "w27,29,31,34 b18,22,23"},
    {20, 15, "w28,29,33 b17,20,22,24"},
    {21, -1, "w46"},
    {22, 1, "b5"},
    {23, -15, "w29,33,34,35,40 b14,15,20,24,25 e45,50"},
    {24, 15, "w26,27,31,36,37 b11,16,17,18,22 e1,6"},
    {25, 30, "w29,33,39,40,44 b30,35 e14,15,20,25"},
    {26, -30, "w16,21 b7,11,12,18,22 e26,31,36"},
    {27, 75, "w6 e2,7 B1"},
    {28, -75, "b45 e44,49 W50"},
    {29, 10, "w32,33,37,39 b22,23,28 e27,29"},
    {30, -10, "w23,28,29 b12,14,18,19 e22,24"},
    {31, -20, "w31,36,37,41 b26 e46"},
    {32, 20, "w25 b10,14,15,20 e5"},
    {33, -30, "w34,35,40 b24,25 e29,30,45,50"},
    {34, 30, "w26,27 b11,16,17 e1,6,21,22"},
    {35, -5, "w27,29 b7,9,12,13,18 e22,23,28"},
    {36, 5, "w33,38,39,42,44 b22,24 e23,28,29"},
    {37, -5, "w26"},
    {38, 5, "b25"},
    {39, -5, "b36 e47"},
    {40, 5, "w15 e4"},
    {41, -5, "e45,50"},
    {42, 5, "e1,6"},
    {43, -30, "w46,48 b37 e41,42,47"},
    {44, -30, "w47,49 b38 e42,43,48"},
    {45, -30, "w48,50 b39 e43,44,49"},
    {46, 30, "w12 b1,3 e2,7,8"},
    {47, 30, "w13 b2,4 e3,8,9"},
    {48, 30, "w14 b3,5 e4,9,10"},
};

using Conditions = std::vector<std::pair<int, PieceType>>;

Conditions conditions(const ListedRule& rule) {
    Conditions list;
    std::istringstream words(rule.squares);
    for (std::string word; words >> word;) {
        const PieceType kind = word[0] == 'w'   ? WHITE_MAN
                               : word[0] == 'b' ? BLACK_MAN
                               : word[0] == 'W' ? WHITE_KING
                               : word[0] == 'B' ? BLACK_KING
                                                : EMPTY_SQUARE;
        std::istringstream numbers(word.substr(1));
        for (int s; numbers >> s; numbers.ignore()) list.emplace_back(s, kind);
    }
    return list;
}

bool holds(const Conditions& c, const Board& board) {
    return std::all_of(c.begin(), c.end(), [&](const auto& square) {
        return piece_on_square(square.first, board) == square.second;
    });
}

void put(Board& board, int square, PieceType kind) {
    const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[square]];
    Bitboard* sets[] = {&board.white_men, &board.white_kings, &board.black_men, &board.black_kings,
                        &board.empty};
    for (Bitboard* set : sets) *set &= ~bit;
    *sets[kind - 1] |= bit;
}

Board filled(PieceType kind, int exception, PieceType other) {
    Board board;
    setup_empty_position(board);
    for (int s = 1; s <= 50; ++s) put(board, s, s == exception ? other : kind);
    return board;
}

// On one board the engine fires exactly the rules the list says hold, and scores their sum.
void expect_as_listed(const Board& board, const std::string& where) {
    static const std::vector<Conditions> listed = [] {
        std::vector<Conditions> all;
        for (const ListedRule& rule : RULE_LIST) all.push_back(conditions(rule));
        return all;
    }();
    int sum = 0;
    for (const ListedRule& rule : RULE_LIST) {
        const bool fires = holds(listed[rule.number - 1], board);
        EXPECT_EQ(pattern_fires(PATTERN_RULES[rule.number - 1], board), fires)
            << "rule " << rule.number << " on " << where;
        sum += fires ? rule.value : 0;
    }
    EXPECT_EQ(pattern_score(board), sum) << where;
}

}  // namespace

// Each rule's squares are put on three surroundings: an empty board catches a mask that
// asks for a piece the rule does not name, boards full of kings one that asks for an
// empty square. Changing any one of its squares must then switch the rule off.
TEST(Patterns, EachRuleFiresOnItsSquaresAndStopsWhenAnyOneDiffers) {
    Board empty;
    setup_empty_position(empty);
    const Board surroundings[] = {empty, filled(WHITE_KING, 50, BLACK_KING),
                                  filled(BLACK_KING, 1, WHITE_KING)};
    for (const ListedRule& rule : RULE_LIST) {
        const Conditions own = conditions(rule);
        for (const Board& around : surroundings) {
            Board board = around;
            for (const auto& [square, kind] : own) put(board, square, kind);
            const std::string made = "the board made for rule " + std::to_string(rule.number);
            expect_as_listed(board, made);
            for (const auto& [square, kind] : own) {
                Board spoiled = board;
                put(spoiled, square, kind == WHITE_KING ? BLACK_KING : WHITE_KING);
                expect_as_listed(spoiled,
                                 made + " with square " + std::to_string(square) + " changed");
            }
        }
    }
}
