// Self-test of the reference move generator. Positions and figures come from the
// FMJD rules / published perft tables, see reference data
// (/work/shared/reference/perft-and-rules.md).

#include "reference_movegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using reference::legal_moves;
using reference::Move;
using reference::Piece;
using reference::play;
using reference::Position;
using reference::start_position;

// Reads "W:W31-50:B1-20": side to move, then one list per colour (either first),
// comma-separated squares or ranges, K before a square for a king.
Position from_fen(const std::string& text) {
    Position position;
    std::stringstream parts(text);
    std::string part;
    std::getline(parts, part, ':');
    position.white_to_move = part == "W";
    while (std::getline(parts, part, ':')) {
        if (!part.empty() && part.back() == '.') part.pop_back();
        if (part.empty()) continue;
        const bool white = part[0] == 'W';
        std::stringstream items(part.substr(1));
        std::string item;
        while (std::getline(items, item, ',')) {
            if (item.empty()) continue;
            const bool king = item[0] == 'K';
            if (king) item.erase(0, 1);
            const auto dash = item.find('-');
            const int first = std::stoi(item.substr(0, dash));
            const int last = dash == std::string::npos ? first : std::stoi(item.substr(dash + 1));
            for (int square = first; square <= last; ++square) {
                position.squares[square] = white ? (king ? Piece::WhiteKing : Piece::WhiteMan)
                                                 : (king ? Piece::BlackKing : Piece::BlackMan);
            }
        }
    }
    return position;
}

using MoveKey = std::tuple<int, int, std::vector<int>>;

MoveKey key_of(const Move& move) {
    return {move.from, move.to, move.captured};
}

std::set<MoveKey> distinct(const std::vector<Move>& moves) {
    std::set<MoveKey> keys;
    for (const Move& move : moves) keys.insert(key_of(move));
    return keys;
}

std::set<MoveKey> distinct_moves(const std::string& fen) {
    return distinct(legal_moves(from_fen(fen)));
}

// Published perft tables count a capture once per (from, to, captured set), so
// duplicate paths are merged at every node.
std::uint64_t perft(const Position& position, int depth) {
    const std::set<MoveKey> keys = distinct(legal_moves(position));
    if (depth == 1) return keys.size();
    std::uint64_t leaves = 0;
    for (const auto& [from, to, captured] : keys)
        leaves += perft(play(position, Move{from, to, captured}), depth - 1);
    return leaves;
}

TEST(ReferenceMovegen, StartPosition) {
    const Position start = start_position();
    EXPECT_TRUE(start.white_to_move);
    EXPECT_EQ(start.squares[0], Piece::None);
    for (int square = 1; square <= 50; ++square) {
        const Piece expected = square <= 20   ? Piece::BlackMan
                               : square <= 30 ? Piece::None
                                              : Piece::WhiteMan;
        EXPECT_EQ(start.squares[square], expected) << "square " << square;
    }
    EXPECT_EQ(start.squares, from_fen("W:W31-50:B1-20").squares);
}

TEST(ReferenceMovegen, DefaultPositionIsEmpty) {
    const Position empty;
    for (const Piece piece : empty.squares) EXPECT_EQ(piece, Piece::None);
    EXPECT_TRUE(legal_moves(empty).empty());
    EXPECT_TRUE(legal_moves(from_fen("B:W31-50:B")).empty());
}

TEST(ReferenceMovegen, StartPositionGivesWhiteNineMoves) {
    const std::set<MoveKey> expected = {{31, 26, {}}, {31, 27, {}}, {32, 27, {}},
                                        {32, 28, {}}, {33, 28, {}}, {33, 29, {}},
                                        {34, 29, {}}, {34, 30, {}}, {35, 30, {}}};
    const std::vector<Move> moves = legal_moves(start_position());
    EXPECT_EQ(moves.size(), 9u);
    EXPECT_EQ(distinct(moves), expected);
}

TEST(ReferenceMovegen, BlackMenOnTheFrontRowGiveNineMoves) {
    const std::set<MoveKey> expected = {{16, 21, {}}, {17, 21, {}}, {17, 22, {}},
                                        {18, 22, {}}, {18, 23, {}}, {19, 23, {}},
                                        {19, 24, {}}, {20, 24, {}}, {20, 25, {}}};
    EXPECT_EQ(legal_moves(from_fen("B:W46:B16-20")).size(), 9u);
    EXPECT_EQ(distinct_moves("B:W46:B16-20"), expected);

    const Position after = play(start_position(), Move{32, 28, {}});
    EXPECT_FALSE(after.white_to_move);
    EXPECT_EQ(distinct(legal_moves(after)), expected);
}

TEST(ReferenceMovegen, EdgesOfTheBoard) {
    EXPECT_EQ(distinct_moves("W:W46"), (std::set<MoveKey>{{46, 41, {}}}));
    EXPECT_EQ(distinct_moves("W:W35"), (std::set<MoveKey>{{35, 30, {}}}));
    EXPECT_EQ(distinct_moves("B:B5"), (std::set<MoveKey>{{5, 10, {}}}));
    EXPECT_EQ(distinct_moves("B:B6"), (std::set<MoveKey>{{6, 11, {}}}));
    EXPECT_EQ(distinct_moves("B:B1"), (std::set<MoveKey>{{1, 6, {}}, {1, 7, {}}}));
}

TEST(ReferenceMovegen, QuietMoveCounts) {
    EXPECT_EQ(distinct_moves("W:W28"), (std::set<MoveKey>{{28, 22, {}}, {28, 23, {}}}));
    EXPECT_EQ(legal_moves(from_fen("W:WK28")).size(), 17u);
    EXPECT_EQ(legal_moves(from_fen("B:BK1")).size(), 9u);
    EXPECT_EQ(distinct_moves("W:WK28").size(), 17u);
    EXPECT_EQ(distinct_moves("B:BK1").size(), 9u);
}

struct RulePosition {
    const char* rule;
    const char* fen;
    std::set<MoveKey> moves;
};

TEST(ReferenceMovegen, RulePositions) {
    const std::vector<RulePosition> cases = {
        {"man captures (4.2)", "W:W28,32:B23", {{28, 19, {23}}}},
        {"man captures backward too (4.2)", "W:W35:B30,K40", {{35, 24, {30}}, {35, 44, {40}}}},
        {"king lands anywhere behind (4.3)",
         "W:WK46:B23",
         {{46, 19, {23}}, {46, 14, {23}}, {46, 10, {23}}, {46, 5, {23}}}},
        {"man continues (4.5)", "W:W15:B8,19,20", {{15, 2, {8, 19, 20}}}},
        {"long man capture (4.5)",
         "W:W47:B13,14,22,24,31,34,K41,44",
         {{47, 49, {13, 14, 22, 24, 31, 34, 41, 44}}}},
        {"king continues (4.6)",
         "W:WK47:B9,12,33",
         {{47, 17, {9, 12, 33}}, {47, 21, {9, 12, 33}}, {47, 26, {9, 12, 33}}}},
        {"king continues (4.6)",
         "W:WK1:B7,9,17,19,20,30,31,33,43,44",
         {{1, 15, {7, 9, 17, 19, 20, 30, 31, 33, 43, 44}}}},
        {"several pieces (4.8)", "W:WK41,49:B9,10,12,19,38", {{41, 43, {9, 12, 19, 38}}}},
        {"pieces leave only after the capture (4.8)",
         "B:W27,28,38,39,42:BK25",
         {{25, 33, {27, 28, 39, 42}}}},
        {"majority rule (4.13)", "W:W48:B24,K31,34,K42,43", {{48, 19, {24, 34, 43}}}},
        {"majority counts pieces, not value (4.13)",
         "W:WK48:B7,8,31,34,K42,44",
         {{48, 50, {7, 8, 34, 44}}}},
        {"kings count as one piece (4.14)",
         "W:W26:B12,K21,31,32",
         {{26, 8, {12, 21}}, {26, 28, {31, 32}}}},
        {"no crowning while passing the last row (4.15)", "W:W15:B9,10", {{15, 13, {9, 10}}}},
    };
    for (const RulePosition& c : cases) {
        EXPECT_EQ(distinct_moves(c.fen), c.moves) << c.rule << ": " << c.fen;
    }
}

TEST(ReferenceMovegen, ManRingIsListedOncePerWayRound) {
    const std::vector<Move> moves = legal_moves(from_fen("W:W38:B22,23,32,33"));
    ASSERT_EQ(moves.size(), 2u);
    for (const Move& move : moves) EXPECT_EQ(key_of(move), (MoveKey{38, 38, {22, 23, 32, 33}}));

    const Position after = play(from_fen("W:W38:B22,23,32,33"), moves.front());
    EXPECT_EQ(after.squares, from_fen("B:W38:B").squares);
}

TEST(ReferenceMovegen, KingRing) {
    const std::vector<int> ring = {22, 23, 32, 33};
    const std::vector<Move> moves = legal_moves(from_fen("W:WK38:B22,23,32,33"));
    EXPECT_EQ(distinct(moves),
              (std::set<MoveKey>{
                  {38, 38, ring}, {38, 42, ring}, {38, 47, ring}, {38, 43, ring}, {38, 49, ring}}));
    // Round one way it may stop on 38, 42 or 47, the other way on 38, 43 or 49:
    // two different paths end on 38.
    EXPECT_EQ(moves.size(), 6u);
    EXPECT_EQ(std::count_if(moves.begin(), moves.end(), [](const Move& m) { return m.to == 38; }),
              2);
}

TEST(ReferenceMovegen, KingTakingStraightOnIsOnePathPerFinalSquare) {
    // 46 takes 41, then 28 further along the same diagonal; stopping on 37 or 32
    // in between does not make different paths.
    const std::vector<Move> moves = legal_moves(from_fen("W:WK46:B28,41"));
    EXPECT_EQ(moves.size(), 5u);
    EXPECT_EQ(distinct(moves), (std::set<MoveKey>{{46, 23, {28, 41}},
                                                  {46, 19, {28, 41}},
                                                  {46, 14, {28, 41}},
                                                  {46, 10, {28, 41}},
                                                  {46, 5, {28, 41}}}));
}

TEST(ReferenceMovegen, KingMayCrossAndEndOnItsOwnSquare) {
    // 28 goes round 23, 24, 34, 33 (or the other way) and comes back along the
    // diagonal through its own square, which is empty while it captures.
    const std::vector<int> ring = {23, 24, 33, 34};
    const std::vector<Move> moves = legal_moves(from_fen("W:WK28:B23,24,33,34"));
    EXPECT_EQ(distinct(moves), (std::set<MoveKey>{{28, 28, ring},
                                                  {28, 22, ring},
                                                  {28, 17, ring},
                                                  {28, 11, ring},
                                                  {28, 6, ring},
                                                  {28, 32, ring},
                                                  {28, 37, ring},
                                                  {28, 41, ring},
                                                  {28, 46, ring}}));
    EXPECT_EQ(moves.size(), 10u);
}

TEST(ReferenceMovegen, CapturedPiecesBlock) {
    // Without the rule the man would jump 32 straight back.
    EXPECT_EQ(distinct_moves("W:W37:B32"), (std::set<MoveKey>{{37, 28, {32}}}));
    // Were 39 and 42 gone at once, the king could go on to take 38 as well.
    EXPECT_EQ(distinct_moves("B:W27,28,38,39,42:BK25"),
              (std::set<MoveKey>{{25, 33, {27, 28, 39, 42}}}));
    // A piece already taken cannot be landed on either: 33 is stuck behind 29 here.
    EXPECT_EQ(
        distinct_moves("W:WK47:B9,12,33"),
        (std::set<MoveKey>{{47, 17, {9, 12, 33}}, {47, 21, {9, 12, 33}}, {47, 26, {9, 12, 33}}}));
}

TEST(ReferenceMovegen, CrowningOnlyWhereTheMoveEnds) {
    const Position ends = from_fen("W:W15:B8,19,20");
    const Position crowned = play(ends, legal_moves(ends).at(0));
    EXPECT_EQ(crowned.squares[2], Piece::WhiteKing);
    EXPECT_EQ(crowned.squares[8], Piece::None);
    EXPECT_EQ(crowned.squares[19], Piece::None);
    EXPECT_EQ(crowned.squares[20], Piece::None);
    EXPECT_FALSE(crowned.white_to_move);

    const Position passes = from_fen("W:W15:B9,10");
    const Position not_crowned = play(passes, legal_moves(passes).at(0));
    EXPECT_EQ(not_crowned.squares[13], Piece::WhiteMan);
    EXPECT_EQ(not_crowned.squares[15], Piece::None);

    // Black: 36 takes 41 and ends on 47; the other way passing the row it stays a man.
    const Position black_ends = from_fen("B:W41:B36");
    EXPECT_EQ(play(black_ends, legal_moves(black_ends).at(0)).squares[47], Piece::BlackKing);
    const Position black_passes = from_fen("B:W41,42:B36");
    const std::vector<Move> moves = legal_moves(black_passes);
    ASSERT_EQ(distinct(moves), (std::set<MoveKey>{{36, 38, {41, 42}}}));
    EXPECT_EQ(play(black_passes, moves.at(0)).squares[38], Piece::BlackMan);

    EXPECT_EQ(play(from_fen("W:W6"), Move{6, 1, {}}).squares[1], Piece::WhiteKing);
    EXPECT_EQ(play(from_fen("B:B45"), Move{45, 50, {}}).squares[50], Piece::BlackKing);
    EXPECT_EQ(play(from_fen("W:WK6"), Move{6, 1, {}}).squares[1], Piece::WhiteKing);
}

TEST(ReferenceMovegen, PerftFromTheStartPosition) {
    const std::vector<std::uint64_t> leaves = {9, 81, 658, 4265, 27117, 167140};
    for (std::size_t depth = 1; depth <= leaves.size(); ++depth) {
        EXPECT_EQ(perft(start_position(), static_cast<int>(depth)), leaves[depth - 1])
            << "depth " << depth;
    }
}

// Random positions: whatever the rules, every move must be well formed.
TEST(ReferenceMovegen, RandomPositionsGiveWellFormedMoves) {
    std::mt19937 rng(20240611);
    const Piece pieces[] = {Piece::WhiteMan, Piece::WhiteKing, Piece::BlackMan, Piece::BlackKing};
    for (int game = 0; game < 3000; ++game) {
        Position position;
        position.white_to_move = rng() % 2 == 0;
        const int count = 2 + static_cast<int>(rng() % 30);
        for (int i = 0; i < count; ++i) {
            const int square = 1 + static_cast<int>(rng() % 50);
            Piece piece = pieces[rng() % 4];
            if (piece == Piece::WhiteMan && square <= 5) piece = Piece::WhiteKing;
            if (piece == Piece::BlackMan && square >= 46) piece = Piece::BlackKing;
            position.squares[square] = piece;
        }

        const bool white = position.white_to_move;
        auto own = [white](Piece p) {
            return white ? (p == Piece::WhiteMan || p == Piece::WhiteKing)
                         : (p == Piece::BlackMan || p == Piece::BlackKing);
        };
        const std::vector<Move> moves = legal_moves(position);
        const std::size_t taken = moves.empty() ? 0 : moves.front().captured.size();
        for (const Move& move : moves) {
            ASSERT_TRUE(own(position.squares[move.from]));
            ASSERT_TRUE(move.to == move.from || position.squares[move.to] == Piece::None);
            ASSERT_EQ(move.captured.size(), taken);
            ASSERT_TRUE(std::is_sorted(move.captured.begin(), move.captured.end()));
            ASSERT_EQ(std::adjacent_find(move.captured.begin(), move.captured.end()),
                      move.captured.end());
            for (const int square : move.captured) {
                ASSERT_NE(position.squares[square], Piece::None);
                ASSERT_FALSE(own(position.squares[square]));
            }

            const Position after = play(position, move);
            ASSERT_NE(after.white_to_move, position.white_to_move);
            int before_count = 0;
            int after_count = 0;
            for (int square = 1; square <= 50; ++square) {
                before_count += position.squares[square] != Piece::None;
                after_count += after.squares[square] != Piece::None;
            }
            ASSERT_EQ(after_count, before_count - static_cast<int>(taken));
        }
        if (taken == 0) {
            for (const Move& move : moves) ASSERT_NE(move.from, move.to);
            EXPECT_EQ(distinct(moves).size(), moves.size());
        }
    }
}

}  // namespace
