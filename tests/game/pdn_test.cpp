// PDN reading and writing. The texts are written here from the public documents of the
// format, named at each case:
//   [grammar]  PDN 3.0 grammar, its restrictions and the PDN reading grammar, worked out
//              on the draughts programmers' forum (pdn.fmjd.org/grammar.html)
//   [issues]   PDN parsing issues (pdn.fmjd.org/issues.html)
//   [tags]     PDN tags (pdn.fmjd.org/pdntags.html)
//   [fen]      FEN tag (pdn.fmjd.org/fen.html)
//   [encoding] Character encoding (pdn.fmjd.org/encoding.html)
//   [pgn]      PGN standard, section 5 (comments) and 8.2.5 (movetext NAGs), S. J. Edwards 1994
//   [fmjd]     FMJD rules of international draughts, article 4 (capture, majority rule)

#include <gtest/gtest.h>

#include <memory>

#include "engine/board/fen.h"
#include "engine/board/movegen.h"
#include "game/pdn.h"
#include "game/pdn_moves.h"

namespace {

// A position and its legal moves, in a ply stack of its own.
struct Position {
    std::unique_ptr<PlyStack> stack = std::make_unique<PlyStack>();
    explicit Position(const std::string& fen) {
        Board board;
        Side side = WHITE;
        std::string error;
        EXPECT_TRUE(parse_fen(fen, board, side, error)) << error;
        stack->reset();
        set_record_position(stack->plies[0], board, side);
        generate_moves(side, stack->plies[0]);
    }
    const PlyRecord& record() const { return stack->plies[0]; }
    MoveMatch match(const std::string& text, int& index) const {
        WrittenMove written;
        if (!parse_written_move(text, written)) return MoveMatch::NOT_LEGAL;
        return match_written_move(record(), written, index);
    }
    Bitboard taken(int index) const { return captured_pieces(record(), record().moves[index]); }
};

Bitboard squares(std::initializer_list<int> list) {
    Bitboard set = 0;
    for (int s : list) set |= BIT_MASK[SQUARE_TO_BIT[s]];
    return set;
}

struct Read {
    std::vector<PdnGame> games;
    std::vector<PdnError> errors;
    std::vector<std::string> error_lines() const {
        std::vector<std::string> lines;
        for (const PdnError& e : errors) lines.push_back(pdn_error_line(e));
        return lines;
    }
};
Read read(const std::string& text) {
    Read r;
    r.games = read_pdn(text, r.errors);
    return r;
}

const char* const OPENING =
    "1. 32-28 19-23 2. 28x19 14x23 3. 37-32 10-14 4. 41-37 5-10 5. 34-29 23x34 6. 40x29";

}  // namespace

TEST(PdnMoves, ReadsEveryWrittenForm) {
    // [grammar] NormalMove, CaptureMove with 'x' or ':', NUMSQUARE "0[1-9]" when reading,
    // and the separator left out ("3228", reading grammar notes).
    const char* good[] = {"32-28", "28x19", "28x19x10", "28:19", "3228", "05-10", "47X36"};
    for (const char* text : good) {
        WrittenMove move;
        EXPECT_TRUE(parse_written_move(text, move)) << text;
    }
    const char* bad[] = {"51-46", "0-5", "32-", "x19", "123-4", "32--28", "32-28x", "a3-b4", "322"};
    for (const char* text : bad) {
        WrittenMove move;
        EXPECT_FALSE(parse_written_move(text, move)) << text;
    }
    WrittenMove move;
    ASSERT_TRUE(parse_written_move("28x19x10", move));
    EXPECT_EQ(move.count, 3);
    EXPECT_EQ(move.squares[1], 19);
}

TEST(PdnMoves, QuietMovesAndCapturesMatchTheirLegalMove) {
    int index = -1;
    const Position start("W:W31-50:B1-20");
    EXPECT_EQ(start.match("32-28", index), MoveMatch::FOUND);
    EXPECT_EQ(pdn_move_text(start.record(), index), "32-28");
    EXPECT_EQ(start.match("33-27", index), MoveMatch::NOT_LEGAL);
    EXPECT_EQ(start.match("32-28-23", index), MoveMatch::NOT_LEGAL);

    // [fmjd] 4.13 majority rule: the man must take two pieces (28x17x8), so the capture
    // of one (28x17) is no move at all.
    const Position majority("W:W28,33:B12,13,19,22,23");
    EXPECT_EQ(majority.match("28x8", index), MoveMatch::FOUND);
    EXPECT_EQ(majority.taken(index), squares({12, 22}));
    EXPECT_EQ(majority.match("28x17x8", index), MoveMatch::FOUND);
    EXPECT_EQ(majority.match("28x19x8", index), MoveMatch::NOT_LEGAL) << "19 is not on its path";
    EXPECT_EQ(majority.match("28x17", index), MoveMatch::NOT_LEGAL);
    // Two paths that take the same pieces to the same square are one move [grammar].
    const Position ring("W:W38:B22,23,32,33");
    EXPECT_EQ(ring.match("38x38", index), MoveMatch::FOUND);
    EXPECT_EQ(index, 0);
}

TEST(PdnMoves, AnAmbiguousShortCaptureNeedsItsLandingSquares) {
    // [grammar] restrictions 8 and 9: where from and to fit two captures, the landing
    // squares are written; the turning squares, or the square behind a taken piece
    // where the capture goes on straight.
    int index = -1;
    const Position men("W:W47:B11,21,31,32,41,42");
    EXPECT_EQ(men.match("47x7", index), MoveMatch::AMBIGUOUS);
    ASSERT_EQ(men.match("47x36x27x16x7", index), MoveMatch::FOUND);
    EXPECT_EQ(men.taken(index), squares({11, 21, 31, 41}));
    EXPECT_EQ(pdn_move_text(men.record(), index), "47x36x27x16x7");
    ASSERT_EQ(men.match("47x38x7", index), MoveMatch::FOUND) << "some landing squares are enough to read";
    EXPECT_EQ(men.taken(index), squares({11, 21, 32, 42}));
    EXPECT_EQ(pdn_move_text(men.record(), index), "47x38x27x16x7");

    // Kings fly: every capture the writer spells out reads back as that capture.
    const Position kings("W:WK16:B12,21,33,44");
    EXPECT_EQ(kings.match("16x7", index), MoveMatch::AMBIGUOUS);
    ASSERT_EQ(kings.match("16x38x29x7", index), MoveMatch::FOUND);
    EXPECT_EQ(kings.taken(index), squares({12, 21, 33}));
    for (int i = 0; i < kings.record().move_count; ++i) {
        const std::string text = pdn_move_text(kings.record(), i);
        ASSERT_EQ(kings.match(text, index), MoveMatch::FOUND) << text;
        EXPECT_EQ(kings.taken(index), kings.taken(i)) << text;
        EXPECT_GT(std::count(text.begin(), text.end(), 'x'), 1) << text;
    }
}

TEST(PdnRead, TagsNumbersCommentsVariationsAndMarks) {
    // [grammar] tags, MOVENUMBER with one or three dots, COMMENT, nested Variation,
    // MOVESTRENGTH "!" "?" "(?)", NAG; [pgn] ';' comments; [grammar] '%' line comments.
    const Read r = read(
        "% a line comment\n"
        "[Event \"Club \\\"A\\\" final\"]\n[White \"Sijbrands, Ton\"]\n[Annotator \"x\"]\n"
        "1. 32-28 19-23 {the classic} 2.28x19 14x23!? 3. 37-32 (3. 34-30 (3. 31-27? 17-21) "
        "10-14) 3... 10-14 ; rest of line ( ignored\n4. 41-37(?) 5-10 $1 5. 34-29! 23x34 6. 40x29 2-0\n");
    ASSERT_EQ(r.games.size(), 1u) << r.error_lines().front();
    EXPECT_TRUE(r.errors.empty());
    const PdnGame& g = r.games[0];
    EXPECT_EQ(g.moves.size(), 11u);
    EXPECT_EQ(g.result, PdnResult::WHITE_WINS);
    ASSERT_EQ(g.tags.size(), 3u);
    EXPECT_EQ(*g.tag("Event"), "Club \"A\" final");
    EXPECT_EQ(g.tags[2].name, "Annotator");
}

TEST(PdnRead, EveryResultForm) {
    // [grammar] reading grammar Result: WIN1 DRAW1 LOSS1 WIN2 DRAW2 LOSS2 DOUBLEFORFEIT, and
    // '*'; [tags] the Result tag when the game has no terminator.
    const std::pair<const char*, PdnResult> forms[] = {
        {"2-0", PdnResult::WHITE_WINS}, {"0-2", PdnResult::BLACK_WINS},
        {"1-1", PdnResult::DRAW},       {"0-0", PdnResult::DOUBLE_FORFEIT},
        {"*", PdnResult::UNKNOWN},      {"1-0", PdnResult::WHITE_WINS},
        {"0-1", PdnResult::BLACK_WINS}, {"1/2-1/2", PdnResult::DRAW},
    };
    for (const auto& [text, result] : forms) {
        const Read ended = read(std::string("1. 32-28 19-23 ") + text + "\n1. 31-26 *");
        ASSERT_EQ(ended.games.size(), 2u) << text;
        EXPECT_EQ(ended.games[0].result, result) << text;
        EXPECT_EQ(ended.games[0].moves.size(), 2u) << text;
        const Read tagged = read(std::string("[Result \"") + text + "\"]\n1. 32-28");
        EXPECT_EQ(tagged.games.at(0).result, result) << text;
    }
    EXPECT_STREQ(pdn_result_text(PdnResult::DRAW), "1-1");
}

TEST(PdnRead, SeveralGamesAndWhereEachEnds) {
    // A new tag section ends a game without terminator; '*' glued to a move is a strength
    // mark, standing alone it separates games [issues, Game Separator (1)].
    const Read r = read("[Event \"a\"]\n1. 32-28 19-23\n[Event \"b\"]\n1. 32-28* 19-23 * 1. 31-27 2-0");
    ASSERT_EQ(r.games.size(), 3u);
    EXPECT_EQ(*r.games[1].tag("Event"), "b");
    EXPECT_EQ(r.games[1].moves.size(), 2u);
    EXPECT_EQ(r.games[2].moves.size(), 1u);
    EXPECT_TRUE(r.games[2].tags.empty());
    // Comments, numbers and results alone make no game.
    EXPECT_EQ(read("{nothing} 1. * ; more\n").games.size(), 0u);

    const std::string text = "[White \"x\"]\n1. 32-28 0-2\n\n[White \"y\"]\n[Result \"1-1\"]\n1. 33-28\n";
    const std::vector<PdnIndexEntry> index = index_pdn(text);
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(index[1].white, "y");
    EXPECT_EQ(index[1].result, "1-1");
    EXPECT_EQ(index[0].result, "0-2");
    PdnGame game;
    std::vector<PdnError> errors;
    ASSERT_TRUE(read_pdn_game(text, index[1], game, errors));
    EXPECT_EQ(game.moves.size(), 1u);
    EXPECT_EQ(index_pdn(text, nullptr, 1).size(), 1u);
}

TEST(PdnRead, CrlfByteOrderMarkAndLatin1) {
    // [encoding] UTF-8 is the format's encoding; Latin-1 is accepted when reading.
    const Read r = read("\xEF\xBB\xBF[White \"M\xFCller\"]\r\n[Black \"G\xC3\xA9rard\"]\r\n\r\n1. 32-28\r\n");
    ASSERT_EQ(r.games.size(), 1u);
    EXPECT_EQ(*r.games[0].tag("White"), "M\xC3\xBCller");
    EXPECT_EQ(*r.games[0].tag("Black"), "G\xC3\xA9rard");
    EXPECT_EQ(r.games[0].moves.size(), 1u);
}

TEST(PdnRead, GamesFromAFen) {
    // [fen] examples; [grammar] "1... " and the ELLIPSES of the reading grammar.
    const Read r = read(
        "[SetUp \"1\"]\n[FEN \"B:W18,24,27,28,K10,K15:B12,16,20,K22,K25,K29\"]\n1... 12x21 2. 10x26 *\n"
        "[FEN \"B:W18,24,27,28,K10,K15:B12,16,20,K22,K25,K29.\"]\n1. ... 12x21 *\n"
        "[FEN \"W:W31-50:B1-20\"]\n1. 32-28 *\n"
        "[FEN \"W:W51:B1\"]\n1. 32-28 *\n"
        "[GameType \"21,B,8,8,N1,0\"]\n1. 9-14 *\n");
    ASSERT_EQ(r.games.size(), 5u);
    EXPECT_TRUE(r.games[0].set_up);
    EXPECT_EQ(r.games[0].start_side, BLACK);
    EXPECT_EQ(r.games[0].moves.size(), 1u);
    EXPECT_EQ(r.games[1].moves.size(), 1u);
    EXPECT_FALSE(r.games[2].set_up) << "the FEN of the initial position sets nothing up";
    EXPECT_EQ(r.error_lines(),
              (std::vector<std::string>{"game 1 move 2: 10x26 is not legal here",
                                        "game 4: FEN \"W:W51:B1\" is no position: square 51 is outside 1-50",
                                        "game 5: GameType \"21,B,8,8,N1,0\" is not international draughts"}));
}

TEST(PdnRead, FaultsNameGameMoveAndTextAndKeepWhatCameBefore) {
    const Read r = read(std::string("[Event \"one\"]\n") + OPENING + " *\n" +
                        "[Event \"two\"]\n1. 32-28 19-23 2. 28x19 14x23 3. 37-32 23x32 4. 38x27 *\n" +
                        "[Event \"three\"]\n1. 32-28 19-23 2. a3-b4 *\n[Event \"four\"]\n1. 32-28 *\n");
    ASSERT_EQ(r.games.size(), 4u);
    EXPECT_EQ(r.error_lines(), (std::vector<std::string>{"game 2 move 3: 23x32 is not legal here",
                                                         "game 3 move 2: a3-b4 cannot be read as a move"}));
    EXPECT_EQ(r.games[1].moves.size(), 5u) << "the moves before the fault stay";
    EXPECT_EQ(r.games[2].moves.size(), 2u);
    EXPECT_EQ(r.games[3].moves.size(), 1u);
}

TEST(PdnWrite, ArchivalTagsShortMovesAndShortLines) {
    // [tags] the seven archival tags in their order, with their unknown values; GameType
    // 20; [grammar] restriction 8: short moves; lines stay under 80 characters.
    std::vector<PdnError> errors;
    const std::vector<PdnGame> games = read_pdn(
        std::string("[White \"W\"]\n[Round \"3\"]\n[WhiteRating \"2400\"]\n") + OPENING + " 1-0", errors);
    ASSERT_EQ(games.size(), 1u);
    const std::string text = write_pdn(games[0]);
    EXPECT_EQ(text.substr(0, text.find("\n\n")),
              "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"3\"]\n[White \"W\"]\n"
              "[Black \"?\"]\n[Result \"2-0\"]\n[GameType \"20\"]\n[WhiteRating \"2400\"]");
    EXPECT_NE(text.find("\n\n1. 32-28 19-23 2. 28x19 14x23 3. 37-32"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 5), "2-0\n\n");
    for (std::size_t at = 0, next = 0; at < text.size(); at = next + 1) {
        next = text.find('\n', at);
        EXPECT_LT(next - at, 80u);
    }

    // A set-up start with Black to move [fen], numbered "1..." [grammar].
    const std::vector<PdnGame> fen = read_pdn("[FEN \"B:W18,24,27,28,K10,K15:B12,16,20,K22,K25,K29\"] 12x21", errors);
    const std::string fen_text = write_pdn(fen.at(0));
    EXPECT_NE(fen_text.find("[SetUp \"1\"]\n[FEN \"B:WK10,K15,18,24,27-28:B12,16,20,K22,K25,K29\"]\n"),
              std::string::npos);
    EXPECT_NE(fen_text.find("\n1... 12x21 *\n"), std::string::npos);
    EXPECT_TRUE(errors.empty());
}

TEST(PdnWrite, WhatIsWrittenReadsBackIdentically) {
    const char* texts[] = {
        "[Event \"x\"]\n[Black \"Zoë\"]\n[Extra \"1\"]\n1. 32-28 19-23 2. 28x19 14x23 1-1",
        "[FEN \"W:W47:B11,21,31,32,41,42\"]\n1. 47x38x27x16x7 *",
        "[FEN \"W:WK16:B12,21,33,44\"]\n1. 16x38x29x7 *",
        "[FEN \"B:W18,24,27,28,K10,K15:B12,16,20,K22,K25,K29\"]\n12x21 0-2",
    };
    for (const char* text : texts) {
        const Read first = read(text);
        ASSERT_EQ(first.games.size(), 1u) << text;
        EXPECT_TRUE(first.errors.empty()) << text << ": " << first.error_lines().front();
        const std::string written = write_pdn(first.games[0]);
        const Read second = read(written);
        ASSERT_EQ(second.games.size(), 1u) << written;
        const PdnGame& a = first.games[0];
        const PdnGame& b = second.games[0];
        EXPECT_EQ(a.moves, b.moves) << written;
        EXPECT_EQ(a.start, b.start);
        EXPECT_EQ(a.start_side, b.start_side);
        EXPECT_EQ(a.result, b.result);
        EXPECT_EQ(write_pdn(b), written);
    }
}
