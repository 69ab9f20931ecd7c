// The opening book: move codes, the choice among lines, following and leaving the book,
// corrupt files, and the shipped book itself.
// The search's verdict on every shipped line is in tests/search/book_lines_test.cpp.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
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
    }
    void TearDown() override {
        book_free();
        std::filesystem::remove_all(dir);
    }

    void list() {
        set_record_position(root_record(), board, state.side);
        generate_moves(state.side, root_record());
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
    void play(const std::string& text) {
        for (int i = 0; i < root_record().move_count; ++i) {
            if (move_text(root_record().moves[i]) == text) return play_index(i);
        }
        ADD_FAILURE() << text << " is not legal";
    }

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
        std::ofstream(dir + "/book.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    Bytes read_file() {
        std::ifstream in(dir + "/book.dat", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    // A new game from the start position with the computer on the given sides.
    void start(int white_is_computer, int black_is_computer) {
        setup_initial_position(board);
        state.side = WHITE;
        list();
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

}  // namespace

TEST(BookFormat, ManStepsAreOneByteAndEverythingElseTwo) {
    auto code_of = [](std::uint32_t kind, int from, int to) {
        std::uint8_t code[2];
        return Bytes(code, code + book_move_code(kind, from, to, code));
    };
    // A man's step is one byte, from + 64 * (step - 4); anything else 192 + from, to.
    EXPECT_EQ(code_of(WHITE_MAN_MOVE, 32, 28), Bytes{32});
    EXPECT_EQ(code_of(BLACK_MAN_MOVE, 19, 23), Bytes{19});
    EXPECT_EQ(code_of(BLACK_MAN_MOVE, 18, 23), Bytes{82});
    EXPECT_EQ(code_of(WHITE_MAN_MOVE, 34, 28), Bytes{34 + 128});
    EXPECT_EQ(code_of(WHITE_MAN_CAPTURE, 28, 17), (Bytes{220, 17}));
    EXPECT_EQ(code_of(BLACK_KING_MOVE, 46, 5), (Bytes{192 + 46, 5}));
}

TEST_F(BookTest, OnlyGamesAgainstTheComputerUseTheBook) {
    load_source("W 100 32-28 19-23 28x19 14x23\nB 100 32-28 19-23 28x19 14x23\n");
    const std::tuple<int, int, int> cases[] = {{0, 0, 0}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}};
    for (auto [white, black, uses] : cases) {
        start(white, black);
        EXPECT_EQ(state.use_book, uses) << white << black;
        EXPECT_EQ(book_choose(state, 0), uses == 1);
    }
}

// Of n active lines the draw r (0-32767) takes the k-th, k = r * n / 32767 + 1, at most n.
// Lines of the other colour, and lines weighing less than 50, take no part.
TEST_F(BookTest, TheDrawSplitsTheActiveLinesEvenly) {
    const auto expect_choice = [&](int r, const char* move) {
        ASSERT_TRUE(book_choose(state, r)) << r;
        EXPECT_EQ(chosen(), move) << r;
        EXPECT_EQ(root_record().best, state.engine_move);
    };
    load_source("W 100 32-28 19-23\nB 100 31-27 19-23\nW 49 34-29 19-23\nW 50 33-28 19-23\n");
    start(1, 0);
    expect_choice(0, "32-28");
    expect_choice(16383, "32-28");
    expect_choice(16384, "33-28");
    expect_choice(32767, "33-28");
    load_source("W 100 32-28 19-23\nW 100 33-28 19-23\nW 100 34-29 19-23\n");
    start(1, 0);
    expect_choice(10922, "32-28");
    expect_choice(10923, "33-28");
    expect_choice(21844, "33-28");
    expect_choice(21845, "34-29");  // 65535 / 32767: a divisor of 32768 would give 33-28
    expect_choice(32767, "34-29");
    load_source("W 49 32-28 19-23\n");
    start(1, 0);
    EXPECT_EQ(state.use_book, 0);
}

TEST_F(BookTest, TheBookFollowsTheGameAndLeavingItIsForGood) {
    load_source(
        "B 100 32-28 19-23 28x19 14x23 37-32\n"
        "B 100 32-28 18-23 33-29 23x32 37x28\n"
        "B 100 33-28 18-23 39-33 12-18\n");
    start(0, 1);
    play("32-28");
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

    load_source("B 100 32-28 19-23 28x19 14x23\nB 100 31-27 19-23 27-22 18x27\n");
    start(0, 1);
    play("33-28");
    EXPECT_EQ(state.use_book, 0);
    // Even when the game comes back to a position of the book, nothing revives it.
    play("19-23");
    play("28x19");
    state.use_book = 1;
    state.engine_move = 5;
    EXPECT_FALSE(book_choose(state, 0));
    EXPECT_EQ(state.use_book, 0);
    EXPECT_EQ(state.engine_move, 5);
}

TEST_F(BookTest, CorruptFilesAreRefusedOrCutShort) {
    load_source("W 100 32-28 19-23 28x19 14x23\nW 100 33-28 18-23\nB 100 34-29 19-23\n");
    const Bytes good = read_file();
    ASSERT_EQ(book_line_count(), 3);
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(at));
        return file;
    };
    // A record that claims more bytes than the body holds ends the book there.
    Bytes long_second(good.begin() + 8, good.end());
    book_descramble(long_second);
    long_second[(long_second[0] | long_second[1] << 8) + 6u] = 0xF0;
    book_scramble(long_second);
    long_second.insert(long_second.begin(), good.begin(), good.begin() + 8);
    const std::pair<Bytes, int> cases[] = {
        {Bytes{}, 0},
        {Bytes(good.begin(), good.begin() + 7), 0},
        {with(0, {0xFF, 0xFF, 0xFF, 0xFF}), 0},  // negative body size
        {with(0, {0xFF, 0xFF, 0, 0}), 0},        // body longer than the file
        {with(4, {0xFE, 0xFF, 0xFF, 0xFF}), 0},  // negative line count
        {with(4, {0xFF, 0xFF, 0xFF, 0x7F}), 3},  // more lines than records
        {with(4, {2, 0, 0, 0}), 2},
        {Bytes(good.begin(), good.end() - 1), 0},  // the body is cut
        {long_second, 1},
    };
    for (const auto& [file, lines] : cases) {
        write_file(file);
        EXPECT_EQ(book_load(dir.c_str()), lines > 0 ? 1 : 0);
        EXPECT_EQ(book_line_count(), lines);
    }
    EXPECT_EQ(book_load((dir + "/no/such/dir").c_str()), 0);
    EXPECT_EQ(book_line_count(), 0);

    // A hand-made line whose first move is 50-46 (the square is taken) gives no move.
    Bytes body{3, 0, 100, 0, BOOK_WHITE_TAG, 0, 50, 19};
    book_scramble(body);
    body.insert(body.begin(), {static_cast<std::uint8_t>(body.size()), 0, 0, 0, 1, 0, 0, 0});
    write_file(body);
    ASSERT_EQ(book_load(dir.c_str()), 1);
    start(1, 0);
    ASSERT_EQ(state.use_book, 1);
    root_record().best = 3;
    EXPECT_FALSE(book_choose(state, 0));
    EXPECT_EQ(state.use_book, 0);
    EXPECT_EQ(root_record().best, 3);
}

TEST_F(BookTest, MutatedBooksNeverReadOutsideTheirBytes) {
    load_source(shipped_source());
    const Bytes good = read_file();
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> byte(0, 255);
    auto below = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(rng);
    };
    for (int round = 0; round < 400; ++round) {
        Bytes file = good;
        for (int e = 0; e < 1 + round % 4; ++e) file[below(file.size() - 1)] = byte(rng) & 0xFF;
        if (round % 5 == 0) file.resize(below(file.size()));
        write_file(file);
        book_load(dir.c_str());
        start(round % 2, 1 - round % 2);
        for (int ply = 0; ply < 14 && root_record().move_count > 0; ++ply) {
            const bool computer = (state.side == WHITE) == (state.white_is_computer == 1);
            int index = static_cast<int>(below(root_record().move_count - 1u));
            if (computer && state.use_book && book_choose(state, byte(rng) * 128))
                index = state.engine_move;
            ASSERT_LT(index, root_record().move_count);
            play_index(index);
        }
    }
}

// book.dat as the build put it beside the program follows every line of the source.
TEST_F(BookTest, TheBuiltBookFollowsEveryShippedLine) {
    ASSERT_EQ(book_load(VANTOR_BOOK_DIR), 1);
    std::vector<BookSourceLine> lines;
    std::string error;
    ASSERT_TRUE(parse_book_source(shipped_source(), lines, error));
    ASSERT_EQ(book_line_count(), static_cast<int>(lines.size()));
    int per_tag[3] = {};
    for (const BookSourceLine& line : lines) {
        ++per_tag[line.tag];
        EXPECT_GE(line.weight, BOOK_MIN_WEIGHT) << "line " << line.line_number;
        const bool white = line.tag == BOOK_WHITE_TAG;
        start(white ? 1 : 0, white ? 0 : 1);
        for (std::size_t ply = 0; ply < line.moves.size(); ++ply) {
            ASSERT_EQ(state.use_book, 1) << "line " << line.line_number << " ply " << ply;
            if ((state.side == WHITE) == white) {
                ASSERT_TRUE(book_choose(state, static_cast<int>(ply * 997 % 32768)));
                ASSERT_LT(state.engine_move, root_record().move_count);
            }
            play(line.moves[ply]);
        }
    }
    EXPECT_GE(per_tag[BOOK_WHITE_TAG], 30);
    EXPECT_GE(per_tag[BOOK_BLACK_TAG], 30);
}
