// The PDN reader on broken and hostile text: it must come through any bytes with the
// games it could read, and what it reads must stay consistent.

#include <gtest/gtest.h>

#include <random>

#include "game/pdn.h"
#include "game/pdn_files.h"

namespace {

struct Outcome {
    std::vector<PdnGame> games;
    std::vector<PdnError> errors;
};
Outcome read(const std::string& text) {
    Outcome outcome;
    outcome.games = read_pdn(text, outcome.errors);
    return outcome;
}

// What holds for any text: the index finds the games the reader reads, every game
// replays, and what the writer makes of it reads back as the same game.
void expect_consistent(const std::string& text) {
    const Outcome outcome = read(text);
    ASSERT_EQ(index_pdn(text).size(), outcome.games.size());
    for (const PdnGame& game : outcome.games) {
        std::vector<GameEntry> entries;
        ASSERT_TRUE(pdn_game_entries(game, entries));
        std::vector<PdnError> errors;
        const std::vector<PdnGame> again = read_pdn(write_pdn(game), errors);
        ASSERT_EQ(again.size(), 1u);
        ASSERT_TRUE(errors.empty()) << pdn_error_line(errors.front());
        ASSERT_EQ(again[0].moves, game.moves);
    }
}

const char* const SEEDS[] = {
    "[Event \"e\"]\n[White \"w\"]\n1. 32-28 19-23 2. 28x19 14x23 {c} 3. 37-32 (3. 34-30 $2) 10-14 2-0\n",
    "[FEN \"W:W47:B11,21,31,32,41,42\"]\n1. 47x38x27x16x7 * [FEN \"W:WK16:B12,21,33,44\"] 16x38x29x7 1-1",
    "1. 32-28 19-23 ; line\n2. 28x19 14x23 3. 37-32(?) 10-14 4. 41-37! 5-10 5. 34-29 23x34 6. 40x29 *",
};
const char* const PIECES[] = {"(", ")", "{", "}", "[", "]", "\"", "*", "x", "-", ":", "1.", "12...", "2-0",
                              "\n", ";", "%", "/", "$", "!", "\\", "\r\n", "[FEN \"", "0", "50", "\xFF"};

std::string mutate(std::string text, std::mt19937& rng) {
    std::uniform_int_distribution<int> edits(1, 6);
    for (int n = edits(rng); n > 0 && !text.empty(); --n) {
        std::uniform_int_distribution<std::size_t> place(0, text.size() - 1);
        const std::size_t at = place(rng);
        switch (rng() % 4) {
            case 0: text[at] = static_cast<char>(rng()); break;
            case 1: text.insert(at, PIECES[rng() % std::size(PIECES)]); break;
            case 2: text.erase(at, rng() % 8); break;
            default: text.insert(at, text.substr(place(rng), rng() % 32)); break;
        }
    }
    return text;
}

}  // namespace

TEST(PdnRobustness, VariationsNestedDeeperThanAnyStack) {
    const std::string deep = std::string(100000, '(') + "19-23" + std::string(100000, ')');
    const Outcome closed = read("1. 32-28 " + deep + " 19-23 *");
    ASSERT_EQ(closed.games.size(), 1u);
    EXPECT_TRUE(closed.errors.empty());
    EXPECT_EQ(closed.games[0].moves.size(), 2u);

    const Outcome open = read("[Event \"a\"]\n1. 32-28 " + std::string(1000, '(') + "\n[Event \"b\"]\n1. 33-28 *");
    ASSERT_EQ(open.games.size(), 2u) << "the next tag section ends the variation and the game";
    ASSERT_EQ(open.errors.size(), 1u);
    EXPECT_EQ(pdn_error_line(open.errors[0]), "game 1: variation not closed");
    EXPECT_EQ(open.games[1].moves.size(), 1u);
}

TEST(PdnRobustness, UnclosedCommentsTagsAndEndlessLines) {
    const Outcome comment = read("1. 32-28 19-23 {" + std::string(1 << 20, 'z'));
    ASSERT_EQ(comment.games.size(), 1u);
    EXPECT_EQ(comment.games[0].moves.size(), 2u) << "the moves before it stay";
    EXPECT_EQ(pdn_error_line(comment.errors.at(0)), "game 1: comment not closed");

    const Outcome tag = read("[Event \"never closed\n[White \"x\"]\n1. 32-28 *\n[Black");
    ASSERT_EQ(tag.games.size(), 2u);
    EXPECT_EQ(*tag.games[0].tag("White"), "x");
    EXPECT_EQ(tag.games[0].moves.size(), 1u);
    EXPECT_EQ(tag.errors.size(), 2u);

    const Outcome line = read("1. 32-28 " + std::string(1 << 20, '7') + " 19-23");
    ASSERT_EQ(line.errors.size(), 1u);
    EXPECT_LT(pdn_error_line(line.errors[0]).size(), 100u) << "the error line shows the text cut short";
}

TEST(PdnRobustness, AnyBytes) {
    std::mt19937 rng(20240611);
    std::string noise(1 << 16, '\0');
    for (char& c : noise) c = static_cast<char>(rng());
    expect_consistent(noise);
    // Mutations of real games: every one read, indexed and written consistently.
    for (int i = 0; i < 1500; ++i) {
        const std::string text = mutate(SEEDS[i % std::size(SEEDS)], rng);
        SCOPED_TRACE(text);
        expect_consistent(text);
        if (HasFatalFailure()) return;
    }
}
