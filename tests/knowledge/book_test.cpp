// The opening book: move codes, the choice among lines, following and leaving the book,
// corrupt files, and the shipped book itself.
// The search's verdict on every shipped line is in tests/search/book_lines_test.cpp.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "engine/knowledge/book.h"
#include "tools/book/book_source.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A game as the controller plays it with the book: the root record lists the game
// position, book_advance sees each move before it is made.
class BookTest : public testing::Test {
protected:
    GameState state;
    Board board;
    // A directory per process: CTest runs the tests of this file side by side.
    std::string dir = testing::TempDir() + "vantor_book_" + std::to_string(getpid());

    void SetUp() override {
        std::filesystem::create_directories(dir);
        init_board_tables();
        setup_initial_position(board);
        state.side = WHITE;
        list();
    }
    void TearDown() override {
        book_free();
        std::filesystem::remove_all(dir);
    }

    void list() {
        set_record_position(root_record(), board, state.side);
        generate_moves(state.side, root_record());
    }
    int index_of(const std::string& text) {
        const PlyRecord& root = root_record();
        for (int i = 0; i < root.move_count; ++i) {
            if (move_text(root.moves[i]) == text) return i;
        }
        ADD_FAILURE() << text << " is not legal";
        return 0;
    }
    std::string chosen() { return move_text(root_record().moves[state.engine_move]); }
    void play_index(int index) {
        state.move_to_play = index;
        book_advance(state);
        make_move(root_record(), root_record().moves[index]);
        board = (&root_record())[1].board;
        state.side = ~state.side;
        list();
    }
    void play(const std::string& text) { play_index(index_of(text)); }

    // Writes book.dat from source text and loads it.
    void load_source(const std::string& text) {
        std::vector<BookSourceLine> lines;
        std::string error;
        ASSERT_TRUE(parse_book_source(text, lines, error)) << error;
        for (BookSourceLine& line : lines) ASSERT_TRUE(replay_book_line(line, error)) << error;
        write_file(build_book_file(lines));
        ASSERT_EQ(book_load(dir.c_str()), 1);
    }
    void write_file(const Bytes& bytes) {
        std::ofstream out(dir + "/book.dat", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void start(int white_is_computer, int black_is_computer) {
        state.white_is_computer = white_is_computer;
        state.black_is_computer = black_is_computer;
        state.use_book = 1;
        book_start(state);
    }
};

std::string shipped_source() {
    std::ifstream in(VANTOR_BOOK_SOURCE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Bytes code_of(std::uint32_t kind, int from, int to) {
    std::uint8_t code[2];
    const int size = book_move_code(kind, from, to, code);
    return Bytes(code, code + size);
}

}  // namespace

TEST(BookCode, ManStepsAreOneByteAndEverythingElseTwo) {
    EXPECT_EQ(code_of(WHITE_MAN_MOVE, 32, 28), Bytes{32});
    EXPECT_EQ(code_of(BLACK_MAN_MOVE, 19, 23), Bytes{19});
    EXPECT_EQ(code_of(BLACK_MAN_MOVE, 18, 23), Bytes{82});
    EXPECT_EQ(code_of(WHITE_MAN_MOVE, 31, 26), Bytes{31 + 64});
    EXPECT_EQ(code_of(WHITE_MAN_MOVE, 34, 28), Bytes{34 + 128});
    EXPECT_EQ(code_of(WHITE_MAN_CAPTURE, 28, 17), (Bytes{220, 17}));
    EXPECT_EQ(code_of(BLACK_KING_MOVE, 46, 5), (Bytes{192 + 46, 5}));
}

TEST(BookCode, TheBodyIsAnXorChainFromTheSeed) {
    Bytes body{1, 2, 3, 200, 0, 0, 77};
    const Bytes plain = body;
    book_scramble(body);
    EXPECT_EQ(body[0], plain[0] ^ BOOK_SEED);
    for (std::size_t i = 1; i < body.size(); ++i) EXPECT_EQ(body[i], plain[i] ^ plain[i - 1]);
    book_descramble(body);
    EXPECT_EQ(body, plain);
}

TEST_F(BookTest, OnlyGamesAgainstTheComputerUseTheBook) {
    load_source("W 100 32-28 19-23 28x19 14x23\nB 100 32-28 19-23 28x19 14x23\n");
    for (auto [white, black] : {std::pair{0, 0}, std::pair{1, 1}}) {
        start(white, black);
        EXPECT_EQ(state.use_book, 0);
        EXPECT_FALSE(book_choose(state, 0));
    }
    start(1, 0);
    EXPECT_EQ(state.use_book, 1);
    start(0, 1);
    EXPECT_EQ(state.use_book, 1);
}

TEST_F(BookTest, ALineNeedsWeightFifty) {
    load_source("W 49 32-28 19-23\n");
    start(1, 0);
    EXPECT_EQ(state.use_book, 0);
    load_source("W 49 33-28 19-23\nW 50 32-28 19-23\n");
    start(1, 0);
    ASSERT_EQ(state.use_book, 1);
    for (int r : {0, 16383, 32767}) {
        ASSERT_TRUE(book_choose(state, r));
        EXPECT_EQ(chosen(), "32-28");
    }
}

TEST_F(BookTest, TheDrawSplitsTheActiveLinesEvenly) {
    load_source("W 100 32-28 19-23\nB 100 31-27 19-23\nW 100 33-28 19-23\n");
    start(1, 0);
    const std::pair<int, const char*> expected[] = {
        {0, "32-28"}, {16383, "32-28"}, {16384, "33-28"}, {32766, "33-28"}, {32767, "33-28"}};
    for (auto [r, move] : expected) {
        ASSERT_TRUE(book_choose(state, r)) << r;
        EXPECT_EQ(chosen(), move) << r;
        EXPECT_EQ(root_record().best, state.engine_move);
    }
    load_source("W 100 32-28 19-23\nW 100 33-28 19-23\nW 100 34-29 19-23\n");
    start(1, 0);
    ASSERT_TRUE(book_choose(state, 32767));
    EXPECT_EQ(chosen(), "34-29");
    ASSERT_TRUE(book_choose(state, 10922));
    EXPECT_EQ(chosen(), "32-28");
    ASSERT_TRUE(book_choose(state, 10923));
    EXPECT_EQ(chosen(), "33-28");
}

TEST_F(BookTest, TheBookFollowsTheGameOnBothSides) {
    load_source(
        "B 100 32-28 19-23 28x19 14x23 37-32\n"
        "B 100 32-28 18-23 33-29 23x32 37x28\n"
        "B 100 33-28 18-23 39-33 12-18\n");
    start(0, 1);
    play("32-28");
    ASSERT_EQ(state.use_book, 1);
    ASSERT_TRUE(book_choose(state, 0));
    EXPECT_EQ(chosen(), "19-23");
    ASSERT_TRUE(book_choose(state, 32767));
    EXPECT_EQ(chosen(), "18-23");
    play("18-23");
    play("33-29");
    ASSERT_TRUE(book_choose(state, 0));
    EXPECT_EQ(chosen(), "23x32");
    play("23x32");
    play("37x28");
    EXPECT_EQ(state.use_book, 0);  // the line is used up
}

TEST_F(BookTest, LeavingTheBookIsForGood) {
    load_source("B 100 32-28 19-23 28x19 14x23\nB 100 31-27 19-23 27-22 18x27\n");
    start(0, 1);
    play("33-28");
    EXPECT_EQ(state.use_book, 0);
    EXPECT_FALSE(book_choose(state, 0));
    // Even when the game comes back to a position of the book, nothing revives it.
    play("19-23");
    play("28x19");
    EXPECT_EQ(state.use_book, 0);
    state.use_book = 1;
    EXPECT_FALSE(book_choose(state, 0));
    EXPECT_EQ(state.use_book, 0);
}

TEST_F(BookTest, NoMoveWithoutAnActiveLine) {
    load_source("W 100 32-28 19-23\n");
    state.use_book = 1;  // as book_load leaves it before the first new game
    state.engine_move = 5;
    EXPECT_FALSE(book_choose(state, 0));
    EXPECT_EQ(state.use_book, 0);
    EXPECT_EQ(state.engine_move, 5);
}

TEST_F(BookTest, AMoveThatIsNotLegalIsNoBookMove) {
    // A hand-made record whose first move is 50-46 (the square is taken).
    Bytes body{3, 0, 100, 0, BOOK_WHITE_TAG, 0, 50, 19};
    book_scramble(body);
    Bytes file{static_cast<std::uint8_t>(body.size()), 0, 0, 0, 1, 0, 0, 0};
    file.insert(file.end(), body.begin(), body.end());
    write_file(file);
    ASSERT_EQ(book_load(dir.c_str()), 1);
    start(1, 0);
    ASSERT_EQ(state.use_book, 1);
    root_record().best = 3;
    EXPECT_FALSE(book_choose(state, 0));
    EXPECT_EQ(state.use_book, 0);
    EXPECT_EQ(root_record().best, 3);
}

TEST_F(BookTest, CorruptFilesAreRefusedOrCutShort) {
    load_source("W 100 32-28 19-23 28x19 14x23\nW 100 33-28 18-23\nB 100 34-29 19-23\n");
    std::ifstream in(dir + "/book.dat", std::ios::binary);
    const Bytes good{std::istreambuf_iterator<char>(in), {}};
    in.close();
    ASSERT_EQ(book_line_count(), 3);
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(at));
        return file;
    };
    const std::pair<Bytes, int> cases[] = {
        {Bytes{}, 0},
        {Bytes(good.begin(), good.begin() + 7), 0},
        {with(0, {0xFF, 0xFF, 0xFF, 0xFF}), 0},   // negative body size
        {with(0, {0xFF, 0xFF, 0, 0}), 0},         // body longer than the file
        {with(4, {0xFE, 0xFF, 0xFF, 0xFF}), 0},   // negative line count
        {with(4, {0xFF, 0xFF, 0xFF, 0x7F}), 3},   // more lines than records
        {with(4, {2, 0, 0, 0}), 2},
        {Bytes(good.begin(), good.end() - 1), 0}, // the body is cut
    };
    for (const auto& [file, lines] : cases) {
        write_file(file);
        EXPECT_EQ(book_load(dir.c_str()), lines > 0 ? 1 : 0);
        EXPECT_EQ(book_line_count(), lines);
    }
    // A record that claims more bytes than the body holds ends the book there.
    Bytes plain(good.begin() + 8, good.end());
    book_descramble(plain);
    const std::size_t second = (plain[0] | plain[1] << 8) + 5u;
    plain[second + 1] = 0xF0;
    book_scramble(plain);
    Bytes file(good.begin(), good.begin() + 8);
    file.insert(file.end(), plain.begin(), plain.end());
    write_file(file);
    EXPECT_EQ(book_load(dir.c_str()), 1);
    EXPECT_EQ(book_line_count(), 1);
    EXPECT_EQ(book_load((dir + "/no/such/dir").c_str()), 0);
    EXPECT_EQ(book_line_count(), 0);
}

TEST_F(BookTest, MutatedBooksNeverReadOutsideTheirBytes) {
    load_source(shipped_source());
    std::ifstream in(dir + "/book.dat", std::ios::binary);
    const Bytes good{std::istreambuf_iterator<char>(in), {}};
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 400; ++round) {
        Bytes file = good;
        for (int e = 0; e < 1 + round % 4; ++e) {
            file[std::uniform_int_distribution<std::size_t>(0, file.size() - 1)(rng)] = static_cast<std::uint8_t>(byte(rng));
        }
        if (round % 5 == 0) file.resize(std::uniform_int_distribution<std::size_t>(0, file.size())(rng));
        write_file(file);
        book_load(dir.c_str());
        setup_initial_position(board);
        state.side = WHITE;
        list();
        start(round % 2, 1 - round % 2);
        for (int ply = 0; ply < 14 && root_record().move_count > 0; ++ply) {
            const bool computer = (state.side == WHITE) == (state.white_is_computer == 1);
            int index = std::uniform_int_distribution<int>(0, root_record().move_count - 1)(rng);
            if (computer && state.use_book == 1 && book_choose(state, byte(rng) * 128)) index = state.engine_move;
            ASSERT_LT(index, root_record().move_count);
            play_index(index);
        }
    }
}

TEST(ShippedBook, EveryLineIsLegalFromTheStartPosition) {
    init_board_tables();
    std::vector<BookSourceLine> lines;
    std::string error;
    ASSERT_TRUE(parse_book_source(shipped_source(), lines, error)) << error;
    int per_tag[3] = {};
    std::set<std::string> white_first;
    std::set<std::string> black_replies;
    for (BookSourceLine& line : lines) {
        EXPECT_TRUE(replay_book_line(line, error)) << error;
        EXPECT_GE(line.moves.size(), 8u) << "line " << line.line_number;
        EXPECT_LE(line.moves.size(), 12u) << "line " << line.line_number;
        EXPECT_GE(line.weight, BOOK_MIN_WEIGHT) << "line " << line.line_number;
        ++per_tag[line.tag];
        if (line.tag == BOOK_WHITE_TAG) white_first.insert(line.moves[0]);
        if (line.tag == BOOK_BLACK_TAG) black_replies.insert(line.moves[1]);
    }
    EXPECT_GE(per_tag[BOOK_WHITE_TAG], 30);
    EXPECT_GE(per_tag[BOOK_BLACK_TAG], 30);
    for (const char* move : {"32-28", "33-28", "33-29", "34-29", "31-27", "32-27", "34-30"}) {
        EXPECT_TRUE(white_first.count(move)) << move;
    }
    for (const char* move : {"19-23", "18-23", "17-21", "20-24", "16-21", "19-24"}) {
        EXPECT_TRUE(black_replies.count(move)) << move;
    }
}

TEST(ShippedBook, SourceErrorsNameTheLine) {
    std::vector<BookSourceLine> lines;
    std::string error;
    EXPECT_FALSE(parse_book_source("# opening\nX 100 32-28\n", lines, error));
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
    EXPECT_FALSE(parse_book_source("W 70000 32-28\n", lines, error));
    EXPECT_FALSE(parse_book_source("W 100\n", lines, error));
    lines.clear();
    ASSERT_TRUE(parse_book_source("\nW 100 32-28 19-23 28-19\n", lines, error));
    init_board_tables();
    EXPECT_FALSE(replay_book_line(lines[0], error));
    EXPECT_NE(error.find("line 2: move 3 '28-19' is not legal"), std::string::npos) << error;
}

TEST_F(BookTest, TheBuiltBookFollowsEveryShippedLine) {
    // book.dat as the build put it beside the program.
    ASSERT_EQ(book_load(VANTOR_BOOK_DIR), 1);
    std::vector<BookSourceLine> lines;
    std::string error;
    ASSERT_TRUE(parse_book_source(shipped_source(), lines, error));
    ASSERT_EQ(book_line_count(), static_cast<int>(lines.size()));
    for (const BookSourceLine& line : lines) {
        setup_initial_position(board);
        state.side = WHITE;
        list();
        start(line.tag == BOOK_WHITE_TAG ? 1 : 0, line.tag == BOOK_BLACK_TAG ? 1 : 0);
        for (std::size_t ply = 0; ply < line.moves.size(); ++ply) {
            ASSERT_EQ(state.use_book, 1) << "line " << line.line_number << " ply " << ply;
            const bool computer = (state.side == WHITE) == (line.tag == BOOK_WHITE_TAG);
            if (computer) {
                ASSERT_TRUE(book_choose(state, static_cast<int>(ply * 997 % 32768)));
                ASSERT_LT(state.engine_move, root_record().move_count);
            }
            play(line.moves[ply]);
        }
    }
}
