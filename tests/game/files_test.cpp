// Game files: the byte layout, round trips, and files that must be refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "game/files.h"
#include "tests/game/game_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class GameFileTest : public GameTest {
  protected:
    // One file per test and process: CTest runs the tests of this file side by side.
    std::string path = testing::TempDir() + "vantor_" +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                       std::to_string(getpid()) + ".tgr";

    void TearDown() override {
        std::remove(path.c_str());
        GameTest::TearDown();
    }

    void write_bytes(const Bytes& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    Bytes saved_game() {
        EXPECT_EQ(save_game(path), 1);
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    // Saves, starts afresh, loads: the record, the game position and the bytes come back.
    void expect_round_trip() {
        auto saved = std::make_unique<GameRecord>(game_record());
        saved->current = saved->length;  // a loaded game stands at its last position
        const Bytes file = saved_game();
        start_game("W:W31-50:B1-20");
        ASSERT_EQ(load_game(path, state), 1);
        expect_same_record(game_record(), *saved);
        EXPECT_EQ(state.board, saved->entries[saved->length].board);
        EXPECT_EQ(saved_game(), file);
    }
    static void expect_same_record(const GameRecord& a, const GameRecord& b) {
        ASSERT_EQ(a.length, b.length);
        EXPECT_EQ(a.current, b.current);
        for (int i = 0; i <= a.length; ++i) {
            const GameEntry& x = a.entries[i];
            const GameEntry& y = b.entries[i];
            ASSERT_EQ(x.board, y.board) << "entry " << i;
            ASSERT_EQ(x.side, y.side) << "entry " << i;
            // move_index may differ: of two capture paths that take the same pieces to the
            // same square the file can only name the first; the boards show it is the same.
            const bool same_move = x.move_type == y.move_type && x.from == y.from && x.to == y.to;
            ASSERT_TRUE(same_move || i == a.length) << "entry " << i;
        }
    }
};

Bytes with_header(const Bytes& body, std::uint32_t moves) {
    Bytes file;
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(body.size() >> (8 * i)));
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(moves >> (8 * i)));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

std::vector<std::uint64_t> root_list() {
    std::vector<std::uint64_t> moves;
    for (int i = 0; i < root_record().move_count; ++i) {
        moves.push_back(root_record().moves[i].word);
        moves.push_back(root_record().moves[i].remaining);
    }
    return moves;
}

}  // namespace

TEST_F(GameFileTest, MoveCodesFollowTheFormOfEachMove) {
    play("32-28");
    EXPECT_EQ(saved_game(), (Bytes{2, 0, 0, 0, 1, 0, 0, 0, 0x20, 0x00}));
    start_game("W:W31-50:B1-20");
    for (const char* move : {"32-27", "19-23", "27-22", "17x28", "33x22"}) play(move);
    // 32-27: step 5; 19-23: Black's step 4; 27-22: step 5; 17x28 and 33x22: a man
    // taking one piece (form 0, then the square taken).
    const Bytes expected{0x60, 0x13, 0x5B, 0xD1, 28, 22, 0xE1, 22, 28, 0};
    EXPECT_EQ(saved_game(), with_header(expected, 5));
}

TEST_F(GameFileTest, RandomGamesComeBackMoveForMove) {
    std::mt19937_64 rng(2024);
    for (int game = 0; game < 60; ++game) {
        start_game("W:W31-50:B1-20");
        play_random(rng, 40 + game * 5);
        for (int i = game % 4; i > 0; --i) game_record_step(UNDO, state);  // a redo tail
        SCOPED_TRACE(game);
        expect_round_trip();
    }
}

TEST_F(GameFileTest, TheRedoTailIsSavedAndTheRootListLeftAlone) {
    for (const char* move : {"32-28", "19-23", "28x19", "14x23", "37-32", "10-14"}) play(move);
    for (int i = 0; i < 3; ++i) game_record_step(UNDO, state);
    const std::vector<std::uint64_t> before = root_list();
    const Bytes file = saved_game();
    EXPECT_EQ(root_list(), before);
    EXPECT_EQ(root_record().board, state.board);
    EXPECT_EQ(file[4], 6);
    ASSERT_EQ(load_game(path, state), 1);
    EXPECT_EQ(game_length(), 6);
    EXPECT_EQ(game_current(), 6);
    EXPECT_EQ(state.side, WHITE);
}

TEST_F(GameFileTest, ALongGameEncodesWhole) {
    // 512 two-byte king codes and the 0 make 1025 bytes, one more than a 1 KB buffer.
    play_king_shuffle();
    Bytes body;
    ASSERT_EQ(encode_game(body), 1025u);
    const std::uint8_t last_four[] = {0xC0 | 41, 0x80 | 46, 0xC0 | 9, 0x80 | 4};
    EXPECT_TRUE(std::equal(std::begin(last_four), std::end(last_four), body.end() - 5));
    EXPECT_EQ(body.back(), 0);
}

// A game from the start to the end of the record comes back; one move more is refused.
TEST_F(GameFileTest, AFullRecordComesBackAndA513thMoveIsRefused) {
    std::mt19937_64 rng(2);
    play_random(rng, MAX_GAME_MOVES, true);
    ASSERT_EQ(game_length(), MAX_GAME_MOVES);
    ASSERT_GT(state.legal_count, 0);
    Bytes body;
    encode_game(body);
    body.pop_back();
    // One more legal move after the 512th: any move of the side to move.
    const std::uint32_t word = root_record().moves[0].word;
    ASSERT_FALSE(is_capture_kind(move_kind(word)));
    const int from = BIT_TO_SQUARE[move_from(word)];
    const int to = BIT_TO_SQUARE[move_to(word)];
    if (move_kind(word) == WHITE_KING_MOVE || move_kind(word) == BLACK_KING_MOVE) {
        body.insert(body.end(),
                    {static_cast<std::uint8_t>(0xC0 | from), static_cast<std::uint8_t>(0x80 | to)});
    } else {
        body.push_back(static_cast<std::uint8_t>(from | (std::abs(from - to) - 4) << 6));
    }
    body.push_back(0);
    auto record = std::make_unique<GameRecord>();
    EXPECT_EQ(decode_game(body, *record), DECODE_REFUSED);
    expect_round_trip();
}

TEST_F(GameFileTest, BodiesThatDoNotReplayAreRefused) {
    auto record = std::make_unique<GameRecord>();
    ASSERT_EQ(decode_game(Bytes{0x20, 0x13, 0xDC, 19, 23, 0}, *record), 3);  // 32-28 19-23 28x19
    // Not one final 0; in 28x19 a from square 0 or 51, a to square 0 or 63, a captured
    // square 51; a step from 4 to 0.
    // clang-format off
    const Bytes refused[] = {
        {}, {0x20}, {0x20, 0x13}, {0xE0}, {0x20, 0x00, 0x00}, {0x00, 0x13},
        {0x20, 0x13, 0xC0, 19, 23, 0}, {0x20, 0x13, 0xF3, 19, 23, 0}, {0x20, 0x13, 0xDC, 0, 23, 0},
        {0x20, 0x13, 0xDC, 63, 23, 0}, {0x20, 0x13, 0xDC, 19, 51, 0}, {0x04, 0}};
    // clang-format on
    for (const Bytes& body : refused) EXPECT_EQ(decode_game(body, *record), DECODE_REFUSED);
}

TEST_F(GameFileTest, FilesThatDoNotAgreeAreRefusedAndTheEmptyGameLoads) {
    play("32-28");
    auto before = std::make_unique<GameRecord>(game_record());
    const Bytes refused[] = {
        with_header({0x32, 0}, 0),  // 50-46: not a legal first move, even with count 0
        with_header({0x20, 0}, 2),           with_header({0x20, 0}, 0),
        Bytes{2, 0, 0, 0, 1, 0, 0, 0, 0x20}, Bytes{3, 0, 0, 0, 1, 0, 0, 0, 0x20, 0},
        Bytes{1, 0, 0, 0, 0, 0, 0, 0},       Bytes{}};
    for (const Bytes& file : refused) {
        write_bytes(file);
        EXPECT_EQ(load_game(path, state), 0);
        expect_same_record(game_record(), *before);
    }
    EXPECT_EQ(load_game(testing::TempDir() + "no/such/file.tgr", state), 0);

    write_bytes(with_header({0}, 0));
    ASSERT_EQ(load_game(path, state), 1);
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(game_current(), 0);
    Board start;
    setup_initial_position(start);
    EXPECT_EQ(state.board, start);
    EXPECT_EQ(state.side, WHITE);
    EXPECT_EQ(state.legal_count, 9);
    EXPECT_EQ(ui.boards_drawn, 1);
}

TEST_F(GameFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
    play("32-28");
    EXPECT_EQ(save_game(testing::TempDir() + "no/such/dir/game.tgr"), 0);
    const Bytes old = saved_game();
    for (const char* move : {"19-23", "28x19", "14x23"}) play(move);

    // A disk that fills up half-way through the save: writes past 12 bytes fail.
    const sighandler_t previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 12;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int saved = save_game(path);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(saved, 0);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), old);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().string().find(path + ".part"), std::string::npos) << entry.path();
    }
}

// A file holds no position: a game from a set-up position would come back as another.
TEST_F(GameFileTest, AGameFromASetUpPositionIsNotWritten) {
    start_game("W:W28,33,39:B19");
    play("28-23");
    EXPECT_FALSE(game_fits_game_file());
    EXPECT_EQ(save_game(path), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Only regular files are read: a FIFO would block the reader for ever, a device never ends.
TEST_F(GameFileTest, OnlyRegularFilesAreOpened) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(load_game(path, state), 0);
    EXPECT_EQ(load_game("/dev/zero", state), 0);
    EXPECT_EQ(load_game(testing::TempDir(), state), 0);
}

TEST_F(GameFileTest, MutatedFilesAreRefusedOrLoadedNeverHalfWay) {
    std::mt19937_64 rng(31337);
    std::vector<Bytes> seeds;
    for (int game = 0; game < 6; ++game) {
        start_game("W:W31-50:B1-20");
        play_random(rng, 30 + 20 * game);
        for (int i = 0; i < game % 3; ++i) game_record_step(UNDO, state);  // a redo tail
        seeds.push_back(saved_game());
    }
    auto before = std::make_unique<GameRecord>();
    std::uniform_int_distribution<int> byte(0, 255);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes file = seeds[round % seeds.size()];
        const int kind = round % 4;
        for (int e = 0; e < 1 + round % 3; ++e) {
            const auto at = std::uniform_int_distribution<std::size_t>(0, file.size() - 1)(rng);
            const auto value = static_cast<std::uint8_t>(byte(rng));
            if (kind == 0 || kind == 1) file[at] = value;
            if (kind == 2) file.resize(std::max<std::size_t>(at, 1));
            if (kind == 3) file.insert(file.begin() + static_cast<long>(at), value);
        }
        if (kind != 0) {
            // Keep the header's length true so that the body itself is tested.
            for (int i = 0; i < 4 && file.size() >= 8; ++i)
                file[i] = static_cast<std::uint8_t>((file.size() - 8) >> (8 * i));
        }
        write_bytes(file);
        *before = game_record();
        const Board board = state.board;
        const std::vector<std::uint64_t> list = root_list();
        if (load_game(path, state) == 1) {
            ++loaded;
            ASSERT_LE(game_length(), MAX_GAME_MOVES);
            for (int i = 0; i <= game_length(); ++i)
                ASSERT_TRUE(board_is_consistent(game_entry(i).board));
        } else {
            expect_same_record(game_record(), *before);
            ASSERT_EQ(state.board, board);
            ASSERT_EQ(root_list(), list) << "round " << round;
        }
    }
    EXPECT_GT(loaded, 0);
}
